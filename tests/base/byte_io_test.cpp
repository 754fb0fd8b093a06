#include "base/byte_io.h"
#include "base/record_fields.h"

#include <gtest/gtest.h>

namespace velacor::base {
namespace {

struct Inner {
    static constexpr std::size_t SIZE = 5;
    std::uint8_t kind = 0;
    float value = 0;
    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.kind, r.value);
    }
};

struct Outer {
    static constexpr std::size_t SIZE = 1 + 2 + 4 + 4 + 2 * 5 + 3;
    std::uint8_t a = 0;
    std::uint16_t b = 0;
    std::uint32_t c = 0;
    std::int32_t d = 0;
    std::array<Inner, 2> inner{};
    std::array<std::uint8_t, 3> tail{};
    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.a, r.b, r.c, r.d, r.inner, r.tail);
    }
};

static_assert(WireRecord<Outer>);

TEST(ByteIo, EncodesPackedLittleEndianAndDecodesBack) {
    Outer r;
    r.a = 0x11;
    r.b = 0x2233;
    r.c = 0x44556677;
    r.d = -2;
    r.inner[1] = Inner{7, 1.0f};
    r.tail = {9, 8, 7};
    const auto bytes = Encode(r);
    const std::array<std::uint8_t, Outer::SIZE> expected = {
        0x11, 0x33, 0x22, 0x77, 0x66, 0x55, 0x44, 0xfe, 0xff, 0xff, 0xff,  // a b c d
        0,    0,    0,    0,    0,                                         // inner[0]
        7,    0x00, 0x00, 0x80, 0x3f,                                      // inner[1], 1.0f
        9,    8,    7};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(Encode(Decode<Outer>(bytes)), bytes);
}

TEST(ByteIo, ShortInputReadsZerosAndLongOutputIsNotOverrun) {
    const std::array<std::uint8_t, 2> shortInput = {0x11, 0x33};
    const Outer r = Decode<Outer>(shortInput);
    EXPECT_EQ(r.a, 0x11);
    EXPECT_EQ(r.b, 0);  // only one of its two bytes was there
    EXPECT_EQ(r.c, 0u);

    std::array<std::uint8_t, 4> small{};
    ByteWriter writer(small);
    writer(FieldNames{"x, y"}, std::uint16_t{1}, std::uint32_t{2});
    EXPECT_TRUE(writer.Overflowed());
    EXPECT_EQ(writer.Position(), 2u);
}

TEST(ByteIo, FieldNamesFollowTheListWithElementsAndNestedRecords) {
    const std::vector<FieldInfo> fields = FieldList<Outer>();
    std::vector<std::string> names;
    for (const FieldInfo& f : fields)
        names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "d", "inner[0].kind",
                                               "inner[0].value", "inner[1].kind", "inner[1].value",
                                               "tail[0]", "tail[1]", "tail[2]"}));
    EXPECT_EQ(fields[4].offset, 11u);
    EXPECT_EQ(fields[5].kind, FieldKind::Float);
    EXPECT_EQ(fields[3].kind, FieldKind::Signed);

    Outer r;
    r.inner[1].value = 2.5f;
    double seen = 0;
    VisitFields(r, [&](const FieldInfo& info, auto value) {
        if (info.name == "inner[1].value")
            seen = static_cast<double>(value);
    });
    EXPECT_EQ(seen, 2.5);
}

}  // namespace
}  // namespace velacor::base
