// exception.h -- the SDK's exception family; thrown only for programming errors.
//
// Nothing in the program catches these by type: an uncaught one ends the program after the
// terminate handler (installed by InstallExceptionReporter) prints its text to stderr.
#pragma once

#include <exception>
#include <string>

namespace KTL {

class CException : public std::exception {
public:
    CException() : message_("CException") {}
    explicit CException(std::string message) : message_(std::move(message)) {}
    ~CException() override = default;

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& GetMessage() const { return message_; }
    virtual const char* GetClassName() const { return "CException"; }

private:
    std::string message_;   // UTF-8 (the program's own literals) or CP932 (texts from data)
};

// One subclass per kind; each has a default text used when no message is given.
class CRuntimeException : public CException {
public:
    CRuntimeException() : CException("実行時例外(CRuntimeException)") {}
    explicit CRuntimeException(std::string message) : CException(std::move(message)) {}
    const char* GetClassName() const override { return "CRuntimeException"; }
};

class CSyntaxException : public CException {
public:
    CSyntaxException() : CException("構文エラー(CSyntaxException)") {}
    explicit CSyntaxException(std::string message) : CException(std::move(message)) {}
    const char* GetClassName() const override { return "CSyntaxException"; }
};

class CIndexOutOfBoundsException : public CException {
public:
    CIndexOutOfBoundsException() : CException("配列の範囲外アクセス(CIndexOutOfBoundsException)") {}
    explicit CIndexOutOfBoundsException(std::string message) : CException(std::move(message)) {}
    const char* GetClassName() const override { return "CIndexOutOfBoundsException"; }
};

class CNullPointerException : public CException {
public:
    CNullPointerException() : CException("NULLポインタへのアクセス(CNullPointerException)") {}
    explicit CNullPointerException(std::string message) : CException(std::move(message)) {}
    const char* GetClassName() const override { return "CNullPointerException"; }
};

class CInterruptedException : public CException {
public:
    CInterruptedException() : CException("スレッドへの割り込み(CInterruptedException)") {}
    explicit CInterruptedException(std::string message) : CException(std::move(message)) {}
    const char* GetClassName() const override { return "CInterruptedException"; }
};

class CIllegalMonitorStateException : public CException {
public:
    CIllegalMonitorStateException() : CException("モニタの不正な状態(CIllegalMonitorStateException)") {}
    explicit CIllegalMonitorStateException(std::string message) : CException(std::move(message)) {}
    const char* GetClassName() const override { return "CIllegalMonitorStateException"; }
};

// Installs a terminate handler that prints an uncaught exception's text to stderr (once per
// process; later calls do nothing). The SDK's entry calls it first thing.
void InstallExceptionReporter();

} // namespace KTL
