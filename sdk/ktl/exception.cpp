// exception.cpp -- prints an uncaught exception's text before the program ends.
#include "sdk/ktl/exception.h"

#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/log.h"

namespace KTL {

namespace {

void ReportAndAbort() {
    std::string text = "uncaught exception";
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const CException& e) {
            text = std::string(e.GetClassName()) + ": " + e.GetMessage();
        } catch (const std::exception& e) {
            text = std::string("std::exception: ") + e.what();
        } catch (...) {
        }
    }
    platform::PrintError(text);
    std::abort();
}

} // namespace

void InstallExceptionReporter() {
    static std::once_flag once;
    std::call_once(once, [] { std::set_terminate(ReportAndAbort); });
}

} // namespace KTL
