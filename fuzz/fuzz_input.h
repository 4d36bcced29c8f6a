#pragma once
// What the fuzz targets share: reading typed values out of the fuzzer's bytes, and stopping at
// once, with a message, when a property that must hold does not.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace halvo::fuzz {

// Consumes the bytes from the front; once they are used up every read gives zeros and empty
// texts, so a target never needs to check how much is left.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : at(data), left(size) {}

    bool empty() const { return left == 0; }
    std::size_t remaining() const { return left; }

    std::uint8_t byte()
    {
        if (left == 0)
            return 0;
        --left;
        return *at++;
    }
    bool flag() { return byte() & 1; }

    template <class T>
    T integer()
    {
        static_assert(std::is_integral_v<T>);
        std::make_unsigned_t<T> value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = std::make_unsigned_t<T>(value << 8 | byte());
        return T(value);
    }
    // A whole number in [0, count), or 0 when count is 0.
    std::size_t choose(std::size_t count) { return count == 0 ? 0 : byte() % count; }

    double real()
    {
        const std::uint64_t bits = integer<std::uint64_t>();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Up to maxBytes raw bytes: a length byte, then the bytes.
    QByteArray bytes(std::size_t maxBytes = 255)
    {
        std::size_t n = byte();
        n = n > maxBytes ? maxBytes : n;
        n = n > left ? left : n;
        QByteArray result(reinterpret_cast<const char*>(at), qsizetype(n));
        at += n;
        left -= n;
        return result;
    }
    // A text, decoded as UTF-8 (bytes that are no UTF-8 become replacement characters).
    QString text(std::size_t maxBytes = 255) { return QString::fromUtf8(bytes(maxBytes)); }
    // Everything that is left, as a text.
    QString rest()
    {
        const QString result =
            QString::fromUtf8(reinterpret_cast<const char*>(at), qsizetype(left));
        at += left;
        left = 0;
        return result;
    }

private:
    const std::uint8_t* at;
    std::size_t left;
};

[[noreturn]] inline void violated(const char* what, const QString& detail, const char* file,
                                  int line)
{
    std::fprintf(stderr, "%s:%d: property violated: %s\n  %s\n", file, line, what,
                 detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace halvo::fuzz

// Stops the run (so that the fuzzer keeps the input) when a property does not hold; the detail
// is a QString expression saying what was seen.
#define FUZZ_CHECK(condition, detail)                                                         \
    do {                                                                                      \
        if (!(condition))                                                                     \
            ::halvo::fuzz::violated(#condition, (detail), __FILE__, __LINE__);                \
    } while (false)
