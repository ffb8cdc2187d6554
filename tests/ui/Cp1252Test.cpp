// Windows-1252 at the display boundary: every byte survives a round trip,
// and what the code page cannot hold is refused, never replaced.
#include "model/Cp1252.h"
#include "ui/Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteRoundTripsThroughTheDisplay)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString shown = ui::decodeCp1252(all);
    ASSERT_EQ(shown.size(), 256);
    EXPECT_EQ(ui::encodeCp1252(shown), all);
}

// Messages and documents take the UTF-8 form: it must say what the display shows.
TEST(Cp1252, EveryByteReadsInUtf8AsTheDisplayShowsIt)
{
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(model::cp1252ToUtf8(byte), ui::decodeCp1252(byte).toUtf8().toStdString()) << "byte " << b;
    }
}

struct Mapping {
    unsigned char byte;
    char16_t unicode;
};
void PrintTo(const Mapping& c, std::ostream* os) { *os << "byte 0x" << std::hex << static_cast<int>(c.byte) << " as U+" << static_cast<int>(c.unicode) << std::dec; }

class Cp1252Mapping : public ::testing::TestWithParam<Mapping> {};

TEST_P(Cp1252Mapping, ByteShowsAsItsCharacter)
{
    const Mapping m = GetParam();
    EXPECT_EQ(ui::decodeCp1252(std::string(1, static_cast<char>(m.byte))), QString(QChar(m.unicode)));
}

INSTANTIATE_TEST_SUITE_P(Bytes, Cp1252Mapping,
                         ::testing::Values(Mapping{0x80, 0x20AC}, Mapping{0x9F, 0x0178}, Mapping{0x8A, 0x0160},
                                           Mapping{0x81, 0x0081}, Mapping{0xE9, 0x00E9}, Mapping{0x41, 'A'},
                                           Mapping{0xA0, 0x00A0}),
                         [](const auto& info) {
                             return "Byte" + QString::number(info.param.byte, 16).toUpper().toStdString();
                         });

TEST(Cp1252, CharactersOutsideTheCodePageAreRefused)
{
    EXPECT_FALSE(ui::encodeCp1252(QString::fromUtf8("Pump \u4E2D")).has_value());
    EXPECT_FALSE(ui::encodeCp1252(QString(QChar(0x0100))).has_value());
    EXPECT_EQ(ui::encodeCp1252(QString(QChar(0x20AC))), std::string("\x80"));
    EXPECT_EQ(ui::encodeCp1252(QString::fromUtf8("\u201Cq\u201D")), std::string("\x93q\x94"));
}

} // namespace
