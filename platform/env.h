// env.h -- the FLYINGFISH_* automation and headless controls; read only inside platform/.
#pragma once

#include <string>

namespace platform {

// The value of an environment variable, or "" when it is unset.
std::string GetEnv(const char* name);
// The value parsed as a whole number, or fallback when unset or not a number.
long GetEnvInt(const char* name, long fallback);

} // namespace platform
