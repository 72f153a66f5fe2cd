// The label options through the library: quiet zones, a turn, a transparent background and a
// printer's resolution reach the picture and every encoder.
#include "decode.h"
#include "quillion/quillion.hpp"

#include <gtest/gtest.h>

namespace quillion::api {
namespace {

TEST(RenderLabel, QuietZonesTurnTransparencyAndResolution) {
    Options o;
    o.quietZones = true;
    o.rotation = 90;
    o.background = {255, 255, 255, 0};
    o.dpi = 300;
    const RenderResult r = Render(Symbology::UpcA, "03600029145", o); // check digit appended
    ASSERT_TRUE(r) << r.error().message;
    const Picture& p = r.picture();
    Options unturned = o;
    unturned.rotation = 0;
    const Picture flat = Render(Symbology::UpcA, "036000291452", unturned).picture();
    EXPECT_EQ(p.Width(), flat.Height()); // turned a quarter
    EXPECT_EQ(p.Height(), flat.Width());
    EXPECT_EQ(flat.Width(), (9 + 95 + 9) * 2); // the quiet zones hold the outer digits
    EXPECT_EQ(p.Rgba()[3], 0);                 // transparent corner
    Image over(p.Width(), p.Height(), 0);
    for (std::size_t i = 0; i < over.pixels.size(); ++i)
        over.pixels[i] = p.Rgba()[4 * i + 3] == 0 ? 0xFFFFFFFFu : 0xFF000000u;
    EXPECT_EQ(testing::DecodeImage(over).text, "036000291452");

    const std::vector<std::uint8_t> png = EncodePng(p);
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(png[25], 6); // RGBA
    Error error;
    EXPECT_TRUE(EncodeJpeg(p, 80, &error).empty());
    EXPECT_EQ(error.number, kErrorEncode);
    const std::vector<std::uint8_t> svg = EncodeSvg(p);
    const std::string text(svg.begin(), svg.end());
    EXPECT_NE(text.find("mm\" viewBox"), std::string::npos);
    EXPECT_NE(text.find("rotate(90)"), std::string::npos);
    EXPECT_NE(text.find("fill-opacity=\"0\""), std::string::npos);
}

} // namespace
} // namespace quillion::api
