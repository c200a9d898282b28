// Text tests: CreateFontA sizes, DrawText centring and clipping, weights and font failures.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "gfx/FontLookup.h"
#include "gfx/SharedLibrary.h"
#include "gfx/SoftCanvas.h"
#include "gfx/TextRenderer.h"
#include "support/GoldenImage.h"
#include "support/GoldenText.h"
#include "support/TestScope.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// The bounding box of every pixel that is no longer white, and how much ink there is.
struct Ink {
  int left = INT_MAX;
  int top = INT_MAX;
  int right = INT_MIN;  // inclusive
  int bottom = INT_MIN;
  long darkness = 0;
  bool empty() const { return darkness == 0; }
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

Ink measure(const SoftCanvas& canvas) {
  Ink ink;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const std::uint32_t rgb = canvas.pixel(x, y);
      if (rgb == kWhite) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ink.darkness += 765 - static_cast<long>((rgb >> 16) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF));
    }
  }
  return ink;
}

// Draws `line` black on white across the whole of `canvas` and measures the ink.
Ink drawOn(SoftCanvas& canvas, std::string_view line, const Font& font) {
  canvas.fill(kWhite);
  canvas.text({0, 0, canvas.width() / canvas.scale(), canvas.height() / canvas.scale()}, line, font,
              0x000000);
  return measure(canvas);
}

class TextRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(text_.ok()) << "no font: " << text_.error();
  }

  // Draws `line` black on white into `area` of a fresh canvas and measures the ink.
  Ink draw(std::string_view line, const Font& font, Rect area = {0, 0, 200, 100}, int width = 200,
           int height = 100) {
    canvas_ = std::make_unique<SoftCanvas>(width, height, nullptr, &text_);
    canvas_->fill(kWhite);
    canvas_->text(area, line, font, 0x000000);
    return measure(*canvas_);
  }

  TextRenderer text_;
  std::unique_ptr<SoftCanvas> canvas_;
};

TEST_F(TextRendererTest, PositiveHeightIsTheCellAndWidthTheAverageCharacter) {
  for (const Font font : {Font{15, 6, 700}, Font{15, 6, 400}, Font{68, 53, 900}, Font{20, 0, 400}}) {
    const std::optional<TextMetrics> metrics = text_.metrics(font);
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->height, font.height);
    EXPECT_EQ(metrics->ascent + metrics->descent, font.height);
    EXPECT_GT(metrics->ascent, metrics->descent);
    if (font.width != 0) {
      EXPECT_EQ(metrics->averageWidth, font.width);
    }
  }
  // A negative height is the em size; the cell is larger.
  const std::optional<TextMetrics> em = text_.metrics({-20, 0, 400});
  ASSERT_TRUE(em);
  EXPECT_GT(em->height, 20);
  EXPECT_LT(em->height, 30);
  // Height 0 asks for the default size.
  ASSERT_TRUE(text_.metrics({0, 0, 400}));
  EXPECT_GT(text_.metrics({0, 0, 400})->height, 8);
}

TEST_F(TextRendererTest, InkScalesWithHeightAndWidthSeparately) {
  const Ink small = draw("HHHH", {20, 8, 400});
  const Ink tall = draw("HHHH", {40, 8, 400});
  const Ink wide = draw("HHHH", {20, 16, 400});
  ASSERT_FALSE(small.empty());
  EXPECT_NEAR(tall.height(), 2 * small.height(), 2);
  EXPECT_NEAR(tall.width(), small.width(), 2);
  EXPECT_NEAR(wide.width(), 2 * small.width(), 4);
  EXPECT_NEAR(wide.height(), small.height(), 1);
  // Twice the average width gives twice the advance.
  EXPECT_NEAR(text_.textWidth("abcdefgh", {20, 16, 400}), 2 * text_.textWidth("abcdefgh", {20, 8, 400}), 4);
}

TEST_F(TextRendererTest, TextIsCentredOnTheRectangle) {
  struct Case {
    Rect area;
    Font font;
  };
  for (const Case& c : {Case{{0, 0, 200, 100}, {15, 6, 700}}, Case{{30, 45, 108, 123}, {68, 53, 900}},
                        Case{{373, 45, 454, 76}, {15, 6, 1}}, Case{{10, 10, 91, 41}, {20, 0, 400}}}) {
    const Ink ink = draw("HIH", c.font, c.area, 500, 200);
    ASSERT_FALSE(ink.empty());
    const std::optional<TextMetrics> metrics = text_.metrics(c.font);
    // 'H' sits on the baseline; DrawText puts the cell's middle at the rectangle's middle.
    const int cellTop = c.area.top + (c.area.bottom - c.area.top) / 2 - metrics->height / 2;
    EXPECT_NEAR(ink.bottom, cellTop + metrics->ascent - 1, 1) << c.font.height;
    const int leftMargin = ink.left - c.area.left;
    const int rightMargin = c.area.right - 1 - ink.right;
    EXPECT_NEAR(leftMargin, rightMargin, 2) << c.font.height;
  }
}

TEST_F(TextRendererTest, HeavierWeightsPutMoreInk) {
  const Ink normal = draw("Moves : 12", {15, 6, 400});
  const Ink bold = draw("Moves : 12", {15, 6, 700});
  const Ink heavy = draw("Moves : 12", {15, 6, 900});
  EXPECT_GT(bold.darkness, normal.darkness * 6 / 5);
  EXPECT_GE(heavy.darkness, bold.darkness);
  EXPECT_NE(text_.fontFile(700), text_.fontFile(400));
  EXPECT_EQ(text_.fontFile(900), text_.fontFile(700));
}

TEST_F(TextRendererTest, TextIsClippedToItsRectangleAndTheCanvas) {
  const Rect area{50, 40, 90, 60};
  const auto expectWithin = [&area](const Ink& ink) {
    ASSERT_FALSE(ink.empty());
    EXPECT_TRUE(ink.left >= area.left && ink.right < area.right) << ink.left << " to " << ink.right;
    EXPECT_TRUE(ink.top >= area.top && ink.bottom < area.bottom) << ink.top << " to " << ink.bottom;
  };
  expectWithin(draw("a line far too long for its box", {30, 12, 700}, area));
  // Rectangles partly or wholly off the canvas, or inside out, touch nothing they must not.
  for (const Rect off : {Rect{-100, -100, 20, 20}, Rect{180, 90, 400, 300}, Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                         Rect{90, 60, 50, 40}, Rect{300, 300, 400, 400}}) {
    draw("Solve", {40, 20, 900}, off);
  }
  // An inside-out rectangle clips as its ordered self.
  expectWithin(draw("Solve", {40, 20, 900}, {90, 60, 50, 40}));
}

TEST_F(TextRendererTest, TextIsBlendedInItsColourOnATransparentBackground) {
  SoftCanvas canvas(120, 60, nullptr, &text_);
  canvas.fill(0x00FF00);
  canvas.text({0, 0, 120, 60}, "Hard", {40, 20, 700}, 0x0000FF);  // COLORREF red
  int solid = 0;
  int other = 0;
  for (const std::uint32_t rgb : canvas.pixels()) {
    if (rgb == 0xFF0000) ++solid;
    // Blends of red over green have no blue; anything else would be a wrong colour.
    if ((rgb & 0xFF) != 0) ++other;
  }
  EXPECT_GT(solid, 50);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(canvas.pixel(0, 0), 0x00FF00u);
}

TEST_F(TextRendererTest, NothingIsDrawnForEmptyTextOrAbsurdSizes) {
  EXPECT_TRUE(draw("", {15, 6, 400}).empty());
  EXPECT_TRUE(draw("&", {15, 6, 400}).empty());
  EXPECT_TRUE(draw("Easy", {INT_MAX, 6, 400}).empty());
  EXPECT_TRUE(draw("Easy", {INT_MIN, 6, 400}).empty());
  EXPECT_TRUE(draw("Easy", {15, INT_MIN, 400}).empty());
  EXPECT_FALSE(text_.metrics({15, INT_MAX, 400}));
  EXPECT_FALSE(draw("Easy", {1, 1, 400}).darkness < 0);  // tiny sizes are fine
  SoftCanvas withoutText(10, 10, nullptr, nullptr);
  EXPECT_TRUE(drawOn(withoutText, "Easy", {8, 4, 400}).empty());
}

TEST_F(TextRendererTest, AmpersandPrefixesAreProcessed) {
  const Ink doubled = draw("&&", {30, 0, 400});
  EXPECT_TRUE(draw("&", {30, 0, 400}).empty()) << "a lone trailing '&' shows nothing";
  const Ink single = draw("x&&", {30, 0, 400});
  ASSERT_FALSE(doubled.empty());
  EXPECT_GT(single.width(), doubled.width());
  // "A&B" is "AB" with B underlined one row below the baseline.
  const Ink plain = draw("AB", {30, 0, 400});
  const Ink underlined = draw("A&B", {30, 0, 400});
  EXPECT_EQ(underlined.left, plain.left);
  EXPECT_GT(underlined.bottom, plain.bottom);
}

TEST_F(TextRendererTest, AtScaleTwoTextIsRenderedAtTwiceItsSize) {
  // Rendered afresh at the doubled size, not the small text enlarged: the doubled font in the
  // doubled area at scale 1 gives the very same pixels.
  for (const Font font : {Font{16, 0, 700}, Font{0, 0, 400}, Font{-12, 5, 400}}) {
    SoftCanvas scaled(240, 120, nullptr, &text_);
    scaled.setScale(2);
    scaled.fill(kWhite);
    scaled.text({10, 5, 110, 55}, "Moves : 7", font, 0x000000);
    SoftCanvas doubled(240, 120, nullptr, &text_);
    doubled.fill(kWhite);
    const int height = font.height == 0 ? 32 : font.height * 2;
    doubled.text({20, 10, 220, 110}, "Moves : 7", {height, font.width * 2, font.weight}, 0x000000);
    EXPECT_FALSE(measure(scaled).empty());
    EXPECT_TRUE(std::equal(scaled.pixels().begin(), scaled.pixels().end(),
                           doubled.pixels().begin(), doubled.pixels().end()))
        << "font " << font.height << " x " << font.width;
  }
  // The underline is as much thicker and lower as the text is larger.
  const auto underlineDepth = [this](int scale) {
    SoftCanvas canvas(200 * scale, 100 * scale, nullptr, &text_);
    canvas.setScale(scale);
    return drawOn(canvas, "A&B", {30, 0, 400}).bottom - drawOn(canvas, "AB", {30, 0, 400}).bottom;
  };
  EXPECT_EQ(underlineDepth(2), 2 * underlineDepth(1));
}

// A label the scale-1 line fills to its edges keeps every stroke at larger scales: drawn with
// no clip at all, its ink still lies inside the enlarged box.
TEST(TextRendererScale, LabelsThatFillTheirBoxKeepTheirInkInsideItAtEveryScale) {
  const std::pair<const char*, Rect> cases[] = {{"Level:  Medium", {1, 0, 101, 20}},
                                                {"Moves : 99", {101, 0, 171, 19}},
                                                {"   ", {1, 0, 101, 20}}};  // no ink at all
  for (const int s : {2, 3, 4}) {
    for (const auto& [line, logical] : cases) {
      // The canvas shows the pixels the renderer draws into, with no clip of the canvas's.
      std::vector<std::uint32_t> pixels(static_cast<std::size_t>(180 * 20 * s * s));
      SoftCanvas canvas(0, 0, nullptr, nullptr);
      canvas.resize(180 * s, 20 * s, pixels);
      canvas.fill(kWhite);
      const Rect box{logical.left * s, logical.top * s, logical.right * s, logical.bottom * s};
      goldenText().draw({pixels, 180 * s, 20 * s}, {0, 0, 180 * s, 20 * s}, box, line,
                        {15, 7, 700}, 0, s);
      const Ink ink = measure(canvas);
      EXPECT_TRUE(ink.left >= box.left && ink.right < box.right) << line << " at scale " << s;
    }
  }
}

TEST_F(TextRendererTest, Windows1252BytesDrawTheirCharacters) {
  EXPECT_FALSE(draw("\x80", {30, 0, 400}).empty());  // the euro sign
  EXPECT_FALSE(draw("\xE9", {30, 0, 400}).empty());  // e acute
}

TEST(TextRendererFiles, MissingOrBrokenFontFilesAreReportedNotFatal) {
  const std::string notAFont = std::string(DERADU_TEST_OUTPUT) + "/not-a-font.ttf";
  std::ofstream(notAFont) << "this is not a font";
  for (const std::string& path : {std::string("/nonexistent/font.ttf"), notAFont, std::string()}) {
    TextRenderer text(path, "");
    EXPECT_FALSE(text.ok()) << path;
    EXPECT_NE(text.error().find("font"), std::string::npos) << text.error();
    EXPECT_NE(text.error().find(path), std::string::npos) << text.error();
    EXPECT_FALSE(text.metrics({15, 6, 400}));
    SoftCanvas canvas(20, 20, nullptr, &text);
    EXPECT_TRUE(drawOn(canvas, "Easy", {15, 6, 400}).empty());
  }
  // A regular face with an unreadable bold one still draws; bold is then emboldened.
  TextRenderer regularOnly(TextRenderer().fontFile(400), "/nonexistent/bold.ttf");
  EXPECT_TRUE(regularOnly.ok());
  EXPECT_TRUE(regularOnly.error().empty()) << regularOnly.error();
  EXPECT_EQ(regularOnly.fontFile(700), regularOnly.fontFile(400));
  std::remove(notAFont.c_str());
}

// Points fontconfig at a configuration of our own for one scope: a folder holding only
// the given font files (none at all when empty).
class OnlyFonts {
 public:
  explicit OnlyFonts(const std::vector<std::string>& files) {
    namespace fs = std::filesystem;
    fs::create_directories(folder_ / "fonts");
    for (const std::string& file : files) {
      fs::create_symlink(file, folder_ / "fonts" / fs::path(file).filename());
    }
    std::ofstream(folder_ / "fonts.conf")
        << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig><dir>"
        << (folder_ / "fonts").string() << "</dir><cachedir>" << (folder_ / "cache").string()
        << "</cachedir></fontconfig>\n";
    configFile_.set((folder_ / "fonts.conf").string());
  }
  ~OnlyFonts() { std::filesystem::remove_all(folder_); }

 private:
  const std::filesystem::path folder_ = freshTestFolder("fonts-");
  ScopedVariable configFile_{"FONTCONFIG_FILE", std::nullopt};
};

TEST(TextRendererFiles, WithoutAnyFontTheRendererSaysSo) {
  const OnlyFonts none({});
  TextRenderer text;
  EXPECT_FALSE(text.ok());
  EXPECT_NE(text.error().find("no font"), std::string::npos) << text.error();
  SoftCanvas canvas(20, 20, nullptr, &text);
  EXPECT_TRUE(drawOn(canvas, "Easy", {15, 6, 400}).empty());
}

TEST(TextRendererFiles, WithOnlyAnotherRegularFaceTextIsDrawnAndBoldIsEmboldened) {
  std::string other = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
  if (!std::filesystem::exists(other)) {
    TextRenderer usual;
    ASSERT_TRUE(usual.ok()) << usual.error();
    other = usual.fontFile(400);
  }
  const OnlyFonts only({other});
  TextRenderer text;
  ASSERT_TRUE(text.ok()) << text.error();
  const auto fileName = [](const std::string& path) { return std::filesystem::path(path).filename(); };
  EXPECT_EQ(fileName(text.fontFile(400)), fileName(other));
  EXPECT_EQ(fileName(text.fontFile(900)), fileName(other));
  SoftCanvas canvas(200, 60, nullptr, &text);
  const Ink normal = drawOn(canvas, "Medium", {20, 8, 400});
  EXPECT_FALSE(normal.empty());
  EXPECT_GT(drawOn(canvas, "Medium", {20, 8, 700}).darkness, normal.darkness * 6 / 5);
}

// Copies of the pinned faces that a test may touch, and a kept glyph file beside them.
class KeptGlyphs : public ::testing::Test {
 protected:
  std::string copy(const char* font, const char* name) {
    std::filesystem::copy_file(font, folder_ / name);
    return (folder_ / name).string();
  }
  // Captions at both weights and at scales 1 and 2 (whose fitting tries several sizes), and
  // the FreeType loads they took.
  static std::pair<std::vector<std::uint32_t>, int> captions(TextRenderer& text) {
    const int loads = TextRenderer::freeTypeOpenings();
    SoftCanvas canvas(240, 120, nullptr, &text);
    std::vector<std::uint32_t> pixels;
    for (const int scale : {1, 2}) {
      canvas.setScale(scale);
      canvas.fill(kWhite);
      canvas.text({0, 0, 60, 30}, "Level:  Medium", {15, 7, 700}, 0);
      canvas.text({0, 30, 120, 60}, "&Moves : 12 \xE9\x80", {15, 6, 400}, 0x000065);
      pixels.insert(pixels.end(), canvas.pixels().begin(), canvas.pixels().end());
    }
    return {pixels, TextRenderer::freeTypeOpenings() - loads};
  }
  // Made with the kept file, counting the load a renderer without one makes.
  std::pair<std::vector<std::uint32_t>, int> keptCaptions() {
    const int loads = TextRenderer::freeTypeOpenings();
    TextRenderer text(fonts_, kept_);
    const auto [pixels, drawLoads] = captions(text);
    return {pixels, TextRenderer::freeTypeOpenings() - loads};
  }
  void keep() {
    TextRenderer text(fonts_, kept_);
    captions(text);
    text.keepGlyphs();
  }
  std::string content() const { return readKeptFile(kept_, std::size_t{1} << 24).value_or(""); }

  const std::filesystem::path folder_ = freshTestFolder("kept-");
  const SystemFonts fonts_{{copy(pinned::kRegularFont, "regular.ttf"), 0},
                           {copy(pinned::kBoldFont, "bold.ttf"), 0}, {}};
  const std::string kept_ = (folder_ / "glyphs").string();
};

TEST_F(KeptGlyphs, AKeptFileDrawsTheSamePixelsWithoutLoadingFreeType) {
  TextRenderer fresh(fonts_);
  const std::vector<std::uint32_t> pixels = captions(fresh).first;
  keep();
  EXPECT_EQ(keptCaptions(), std::make_pair(pixels, 0));
  // A size never drawn loads FreeType once, and draws as a fresh renderer does.
  TextRenderer text(fonts_, kept_);
  std::vector<std::uint32_t> drawn[2];
  for (TextRenderer* each : {&text, &fresh}) {
    SoftCanvas canvas(100, 40, nullptr, each);
    canvas.text({0, 0, 100, 40}, "Easy", {31, 0, 400}, 0);
    drawn[each == &fresh].assign(canvas.pixels().begin(), canvas.pixels().end());
  }
  EXPECT_EQ(drawn[0], drawn[1]);
  EXPECT_EQ(captions(text), std::make_pair(pixels, 0));
  // Every printable character of a size drawn at is kept, not only those drawn.
  const int loads = TextRenderer::freeTypeOpenings();
  EXPECT_EQ(TextRenderer(fonts_, kept_).textWidth("Hard: 0-9 (#?) \xC5", {15, 6, 400}),
            fresh.textWidth("Hard: 0-9 (#?) \xC5", {15, 6, 400}));
  EXPECT_EQ(TextRenderer::freeTypeOpenings(), loads);
}

// FreeType's version as it reports it, which the kept file records.
std::array<std::int32_t, 3> freeTypeVersion() {
  const SharedLibrary library("libfreetype.so.6");
  int (*init)(void**) = nullptr;
  int (*done)(void*) = nullptr;
  void (*version)(void*, int*, int*, int*) = nullptr;
  void* handle = nullptr;
  std::array<int, 3> running{};
  if (library.bind(init, "FT_Init_FreeType") && library.bind(done, "FT_Done_FreeType") &&
      library.bind(version, "FT_Library_Version") && init(&handle) == 0) {
    version(handle, &running[0], &running[1], &running[2]);
    done(handle);
  }
  return running;
}

TEST_F(KeptGlyphs, AChangedFaceOrAnotherFreeTypeDropsTheKeptGlyphs) {
  const std::vector<std::uint32_t> pixels = keptCaptions().first;
  for (const std::string& face : {fonts_.regular.file, fonts_.bold.file}) {
    keep();
    std::filesystem::last_write_time(face, std::filesystem::last_write_time(face) - std::chrono::seconds(5));
    EXPECT_EQ(keptCaptions(), std::make_pair(pixels, 1)) << face;
  }
  // Glyphs of another FreeType serve until FreeType is loaded, and are then dropped whole.
  keep();
  std::string bytes = content();
  const std::array<std::int32_t, 3> running = freeTypeVersion();
  const std::size_t at = bytes.find(std::string_view(reinterpret_cast<const char*>(running.data()), sizeof running));
  ASSERT_NE(at, std::string::npos);
  ++bytes[at + 8];
  ASSERT_TRUE(writeKeptFile(kept_, bytes));
  {
    TextRenderer text(fonts_, kept_);
    EXPECT_EQ(captions(text), std::make_pair(pixels, 0));
    EXPECT_GT(text.textWidth("new size", {40, 0, 400}), 0);
    text.keepGlyphs();
  }
  EXPECT_EQ(keptCaptions(), std::make_pair(pixels, 1));
}

TEST_F(KeptGlyphs, ADamagedOrForeignKeptFileIsIgnored) {
  keep();
  const std::string good = content();
  const auto draw = [this] {
    const int loads = TextRenderer::freeTypeOpenings();
    TextRenderer text(fonts_, kept_);
    SoftCanvas canvas(60, 30, nullptr, &text);
    canvas.text({0, 0, 60, 30}, "Medium", {15, 7, 700}, 0);
    return std::make_pair(std::vector<std::uint32_t>(canvas.pixels().begin(), canvas.pixels().end()),
                          TextRenderer::freeTypeOpenings() - loads);
  };
  const std::vector<std::uint32_t> pixels = draw().first;
  // Another FreeType version is no damage: those glyphs serve until FreeType is loaded.
  const std::array<std::int32_t, 3> running = freeTypeVersion();
  const std::size_t version = good.find(std::string_view(reinterpret_cast<const char*>(running.data()), sizeof running));
  struct Case {
    std::string bytes;
    int loads;
  };
  std::vector<Case> cases;
  for (const std::size_t size : {std::size_t{0}, std::size_t{16}, std::size_t{90}, good.size() / 2,
                                 good.size() - 1}) {
    cases.push_back({good.substr(0, size), 1});
  }
  // The header, the faces, the version and the metrics closely; the glyphs here and there.
  for (std::size_t at = 0; at < good.size(); at += at < 240 ? 11 : good.size() / 6) {
    cases.push_back({good, at - version < sizeof running ? 0 : 1});
    cases.back().bytes[at] ^= at % 2 == 0 ? '\x01' : '\x80';
  }
  cases.push_back({good + '\0', 1});
  cases.push_back({good.substr(0, 16) + std::string(good.size() - 16, '\xA5'), 1});
  for (const Case& c : cases) {
    std::ofstream(kept_, std::ios::binary | std::ios::trunc) << c.bytes;
    EXPECT_EQ(draw(), std::make_pair(pixels, c.loads)) << c.bytes.size() << " bytes";
  }
  std::filesystem::resize_file(kept_, std::size_t{64} << 20);  // too large to be ours
  EXPECT_EQ(draw(), std::make_pair(pixels, 1));
}

// Button captions as the widget kit draws them, with the faces the golden was made with.
TEST(TextRendererGolden, ButtonCaptionsMatchTheGoldenImage) {
  SoftCanvas canvas(100, 70, nullptr, &goldenText());
  canvas.fill(0xF0F0F0);
  canvas.rectangle({5, 5, 86, 36}, {0xFFFFFF, 0}, 0xF0F0F0);
  canvas.text({5, 5, 86, 36}, "Easy", {15, 6, 700}, 0x000000);
  canvas.text({6, 38, 86, 68}, "Moves : 12", {15, 6, 400}, 0x000065);
  expectMatchesGolden(canvas, "soft/button_captions");
}

}  // namespace
