#pragma once
// The ordinary error kind of the core: every error the driver raises derives from EError.
// The class name travels to the host as the EXCEPINFO source, the message as its description.
#include <exception>
#include <string>

namespace fr {

class EError : public std::exception {
public:
    explicit EError(std::u16string message, const char* className = "Exception");
    const std::u16string& message() const noexcept { return FMessage; }
    const char* className() const noexcept { return FClassName; }
    const char* what() const noexcept override { return FUtf8.c_str(); }

private:
    std::u16string FMessage;
    const char* FClassName;
    std::string FUtf8;
};

// A variant conversion that cannot be made.
class EVariantError : public EError {
public:
    explicit EVariantError(std::u16string message) : EError(std::move(message), "EVariantTypeCastError") {}
};

// A late-bound call on an automation object that failed.
class EOleError : public EError {
public:
    explicit EOleError(std::u16string message) : EError(std::move(message), "EOleException") {}
};

// A file or folder operation that failed.
class EInOutError : public EError {
public:
    explicit EInOutError(std::u16string message) : EError(std::move(message), "EInOutError") {}
};

}  // namespace fr
