#pragma once
// The program's failures. A handler that fails throws one of these; the
// window's failure boundary catches it and shows its message in the error box.
#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : Message(std::move(message)), FUtf8(Message.toUtf8()) {}
    const char* what() const noexcept override { return FUtf8.constData(); }

    QString Message;

private:
    QByteArray FUtf8;
};

// A text that is not a valid number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file operation that failed; ErrorCode is the code the message was made from.
class EInOutError : public Exception {
public:
    EInOutError(QString message, int errorCode)
        : Exception(std::move(message)), ErrorCode(errorCode)
    {}
    int ErrorCode;
};

// An operation the toolkit cannot carry out now (for example no access to the screen).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// The silent failure: ends a handler without any message.
class EAbort : public Exception {
public:
    EAbort() : Exception(QString()) {}
};
