// Shared helpers of the fuzz targets: a property check that stops the run
// with a message (libFuzzer then saves the input as a crash), and a reader
// that takes typed pieces off the front of the fuzz bytes.
#pragma once

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace tarvel::fuzz {

[[noreturn]] inline void fail(const char *what, const QString &detail) {
    std::fprintf(stderr, "property broken: %s\n  %s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void check(bool holds, const char *what, const QString &detail = {}) {
    if (!holds) fail(what, detail);
}

// The same value, +0 and -0 alike.
inline bool sameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

inline QString show(double v) {
    return QString::number(v, 'g', 17);
}

inline QString show(const std::optional<double> &v) {
    return v ? show(*v) : QStringLiteral("(none)");
}

// Takes bytes off the front of the input; past the end everything is zero
// or empty, so any input is usable.
class Bytes {
public:
    Bytes(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    double rawDouble() {
        unsigned char b[sizeof(double)] = {};
        for (auto &c : b)
            c = byte();
        double v;
        std::memcpy(&v, b, sizeof v);
        return v;
    }

    QByteArray take(std::size_t n) {
        n = std::min(n, size_ - pos_);
        QByteArray out(reinterpret_cast<const char *>(data_ + pos_), static_cast<qsizetype>(n));
        pos_ += n;
        return out;
    }

    QByteArray rest() { return take(size_ - pos_); }

    bool empty() const { return pos_ >= size_; }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Text from raw bytes: UTF-8 (invalid sequences become U+FFFD) or, when
// asked, raw UTF-16 units so that lone surrogates and any code unit occur.
inline QString textFrom(const QByteArray &bytes, bool utf16) {
    if (!utf16) return QString::fromUtf8(bytes);
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out += QChar(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                           static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    return out;
}

} // namespace tarvel::fuzz
