// log_to_stderr.cpp -- makes the error log print in this test program, so tests can read its texts.
#include <cstdlib>

namespace {
const bool kLogToStderr = [] { return setenv("FLYINGFISH_LOG", "stderr", 1) == 0; }();
} // namespace
