// Little-endian packed byte layouts, as the sensor and its files use them.
//
// A record describes its layout once, in a static member template
//     template <class Io, class Self>
//     static constexpr void Fields(Io& io, Self& r) { VELACOR_FIELDS(io, r.a, r.b, ...); }
// listing its fields in wire order. The same list then drives encoding (ByteWriter), decoding
// (ByteReader), the compile-time size check (ByteCounter) and the field names (VisitFields:
// "a", "b[2]", "inlet[1].type"), so none of them can disagree with another.
// Field widths follow the C++ type: uint8_t 1, uint16_t 2, uint32_t/int32_t/float 4,
// std::array<T, N> N times T, and a nested record its own fields.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

// The field list of a record; the macro hands the visitor the list's own text for the names.
#define VELACOR_FIELDS(io, ...) io(::velacor::base::FieldNames{#__VA_ARGS__}, __VA_ARGS__)

namespace velacor::base {

// The text of a field list, "r.a, r.b, r.c": each name is what follows the first '.'.
struct FieldNames {
    const char* list;
};

// A record nested inside another one (for example one inlet entry of a processing record).
template <class T>
concept NestedRecord = requires(T& r) {
    T::SIZE;
};

// Counts the bytes a record's fields occupy; usable in constant expressions.
class ByteCounter {
  public:
    template <class... T>
    constexpr void operator()(FieldNames, const T&... fields) {
        (Field(fields), ...);
    }
    constexpr std::size_t Size() const { return m_size; }

  private:
    template <class T>
    constexpr void Field(const T&) {
        static_assert(std::is_arithmetic_v<T> && sizeof(T) <= 4);
        m_size += sizeof(T);
    }
    template <class T, std::size_t N>
    constexpr void Field(const std::array<T, N>& a) {
        for (const T& item : a)
            Field(item);
    }
    template <NestedRecord T>
    constexpr void Field(const T& r) {
        T::Fields(*this, r);
    }
    std::size_t m_size = 0;
};

// Writes fields one after another into a fixed buffer. Writing past the end is dropped and
// remembered, never performed.
class ByteWriter {
  public:
    explicit ByteWriter(std::span<std::uint8_t> out) : m_out(out) {}

    template <class... T>
    void operator()(FieldNames, const T&... fields) {
        (Field(fields), ...);
    }
    std::size_t Position() const { return m_pos; }
    bool Overflowed() const { return m_overflow; }

  private:
    template <class T>
    void Field(const T& value) {
        static_assert(std::is_arithmetic_v<T> && sizeof(T) <= 4);
        std::uint32_t bits = 0;
        if constexpr (std::is_floating_point_v<T>) {
            bits = std::bit_cast<std::uint32_t>(value);
        } else {
            bits = static_cast<std::uint32_t>(value);
        }
        if (m_pos + sizeof(T) > m_out.size()) {
            m_overflow = true;
            return;
        }
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            m_out[m_pos++] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
    }
    template <class T, std::size_t N>
    void Field(const std::array<T, N>& a) {
        for (const T& item : a)
            Field(item);
    }
    template <NestedRecord T>
    void Field(const T& r) {
        T::Fields(*this, r);
    }
    std::span<std::uint8_t> m_out;
    std::size_t m_pos = 0;
    bool m_overflow = false;
};

// Reads fields one after another from a fixed buffer. Reading past the end yields zeros and is
// remembered.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> in) : m_in(in) {}

    template <class... T>
    void operator()(FieldNames, T&... fields) {
        (Field(fields), ...);
    }
    std::size_t Position() const { return m_pos; }
    bool Overflowed() const { return m_overflow; }

  private:
    template <class T>
    void Field(T& value) {
        static_assert(std::is_arithmetic_v<T> && sizeof(T) <= 4);
        std::uint32_t bits = 0;
        if (m_pos + sizeof(T) > m_in.size()) {
            m_overflow = true;
        } else {
            for (std::size_t i = 0; i < sizeof(T); ++i) {
                bits |= static_cast<std::uint32_t>(m_in[m_pos++]) << (8 * i);
            }
        }
        if constexpr (std::is_floating_point_v<T>) {
            value = std::bit_cast<T>(bits);
        } else {
            value = static_cast<T>(bits);
        }
    }
    template <class T, std::size_t N>
    void Field(std::array<T, N>& a) {
        for (T& item : a)
            Field(item);
    }
    template <NestedRecord T>
    void Field(T& r) {
        T::Fields(*this, r);
    }
    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
    bool m_overflow = false;
};

template <class R>
constexpr std::size_t EncodedSize() {
    ByteCounter counter;
    R record{};
    R::Fields(counter, record);
    return counter.Size();
}

// Every record type R names its wire size as R::SIZE; this checks the field list against it.
template <class R>
concept WireRecord = requires {
    R::SIZE;
}
&&EncodedSize<R>() == R::SIZE;

template <WireRecord R>
std::array<std::uint8_t, R::SIZE> Encode(const R& record) {
    std::array<std::uint8_t, R::SIZE> bytes{};
    ByteWriter writer(bytes);
    R::Fields(writer, record);
    return bytes;
}

template <WireRecord R>
void EncodeInto(const R& record, std::span<std::uint8_t> out) {
    ByteWriter writer(out);
    R::Fields(writer, record);
}

// Decodes the first R::SIZE bytes of `in`; missing bytes read as zero.
template <WireRecord R>
R Decode(std::span<const std::uint8_t> in) {
    R record{};
    ByteReader reader(in);
    R::Fields(reader, record);
    return record;
}

// Little-endian helpers for single values at fixed offsets.
inline std::uint16_t GetU16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t GetU32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline void PutU16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace velacor::base
