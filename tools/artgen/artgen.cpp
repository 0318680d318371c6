// artgen: turns the text pixel maps of resources/art into the cursor (.cur) and toolbar
// bitmap (.bmp) files that the resource script embeds. Runs on the build host.
//
// usage: artgen CURSORS.txt BUTTONS.txt OUT_DIR
//
// Cursor maps are 32 × 32: '.' transparent, '#' black, 'o' white, '~' inverted screen.
//   map NAME                     then 32 rows
//   cursor ID HOTX HOTY LAYER... layers drawn in order; NAME, NAME/r90, NAME/r180, NAME/r270
//                                (turned clockwise)
//   pan HOTX HOTY CENTRE ARROW   cursors 110..124: CENTRE plus ARROW (pointing up) turned
//                                towards every direction still open for panning
// Button maps are 16 × 16 over a palette of one-character colours:
//   palette  then "C RRGGBB" lines up to "end"
//   bitmap ID COUNT              a strip of COUNT images, 24 bits, mask colour where '.'
//   image INDEX NAME             then 16 rows; indices must run 0..COUNT-1 in order
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/view/pan_cursor.h"

namespace {

constexpr int kCursorSize = 32;
constexpr int kButtonSize = 16;

struct Source {
    std::string path;
    std::vector<std::string> lines;
    size_t next = 0;
    int LineNumber() const { return static_cast<int>(next); }
};

[[noreturn]] void Fail(const Source& s, const std::string& what) {
    std::fprintf(stderr, "%s:%d: %s\n", s.path.c_str(), s.LineNumber(), what.c_str());
    std::exit(1);
}

Source Read(const std::string& path) {
    Source s{path, {}, 0};
    std::ifstream in(path);
    if (!in) Fail(s, "cannot read");
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        s.lines.push_back(line);
    }
    return s;
}

// The next line that is neither blank nor a comment; false at the end.
bool NextStatement(Source& s, std::string& line) {
    while (s.next < s.lines.size()) {
        line = s.lines[s.next++];
        if (!line.empty() && line[0] != '#') return true;
    }
    return false;
}

std::vector<std::string> ReadRows(Source& s, int size) {
    std::vector<std::string> rows;
    while (static_cast<int>(rows.size()) < size) {
        if (s.next >= s.lines.size()) Fail(s, "map ends early");
        const std::string& row = s.lines[s.next++];
        if (static_cast<int>(row.size()) != size) Fail(s, "row of " + std::to_string(row.size()) + " pixels, want " + std::to_string(size));
        rows.push_back(row);
    }
    return rows;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", path.c_str());
        std::exit(1);
    }
}

void Put16(std::vector<uint8_t>& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void PutInfoHeader(std::vector<uint8_t>& b, int w, int h, int bits, uint32_t imageSize) {
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, static_cast<unsigned>(bits));
    Put32(b, 0);  // BI_RGB
    Put32(b, imageSize);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
}

// ---- cursors ----

using Map = std::vector<std::string>;

char PixelAt(const Map& m, int x, int y, int turns) {
    // Clockwise quarter turns: the pixel shown at (x, y) comes from the unturned map.
    for (int i = 0; i < turns; ++i) {
        const int sx = y, sy = kCursorSize - 1 - x;
        x = sx;
        y = sy;
    }
    return m[y][x];
}

void Draw(Map& canvas, const Map& layer, int turns) {
    for (int y = 0; y < kCursorSize; ++y)
        for (int x = 0; x < kCursorSize; ++x) {
            const char c = PixelAt(layer, x, y, turns);
            if (c != '.') canvas[y][x] = c;
        }
}

// A one-image .cur file: 1-bit colour (XOR) and mask (AND) planes, bottom-up.
std::vector<uint8_t> CursorFile(const Map& m, int hotX, int hotY) {
    constexpr int kRowBytes = kCursorSize / 8;
    constexpr uint32_t kPlane = kRowBytes * kCursorSize;
    const uint32_t imageBytes = 40 + 8 + 2 * kPlane;
    std::vector<uint8_t> b;
    Put16(b, 0);
    Put16(b, 2);  // cursor
    Put16(b, 1);
    b.push_back(kCursorSize);
    b.push_back(kCursorSize);
    b.push_back(2);
    b.push_back(0);
    Put16(b, static_cast<unsigned>(hotX));
    Put16(b, static_cast<unsigned>(hotY));
    Put32(b, imageBytes);
    Put32(b, 6 + 16);
    PutInfoHeader(b, kCursorSize, 2 * kCursorSize, 1, 2 * kPlane);
    Put32(b, 0x00000000);  // black
    Put32(b, 0x00FFFFFF);  // white
    std::vector<uint8_t> colour(kPlane, 0), mask(kPlane, 0);
    for (int y = 0; y < kCursorSize; ++y)
        for (int x = 0; x < kCursorSize; ++x) {
            const char c = m[y][x];
            const bool xorBit = c == 'o' || c == '~';
            const bool andBit = c == '.' || c == '~';
            const int row = kCursorSize - 1 - y;
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
            if (xorBit) colour[row * kRowBytes + x / 8] |= bit;
            if (andBit) mask[row * kRowBytes + x / 8] |= bit;
        }
    b.insert(b.end(), colour.begin(), colour.end());
    b.insert(b.end(), mask.begin(), mask.end());
    return b;
}

int TurnsOf(const Source& s, const std::string& suffix) {
    if (suffix.empty()) return 0;
    if (suffix == "r90") return 1;
    if (suffix == "r180") return 2;
    if (suffix == "r270") return 3;
    Fail(s, "unknown turn /" + suffix);
}

const Map& Find(const Source& s, const std::map<std::string, Map>& maps, const std::string& name) {
    auto it = maps.find(name);
    if (it == maps.end()) Fail(s, "unknown map " + name);
    return it->second;
}

void CheckHotSpot(const Source& s, int x, int y) {
    if (x < 0 || y < 0 || x >= kCursorSize || y >= kCursorSize) Fail(s, "hot spot outside the cursor");
}

int GenerateCursors(const std::string& path, const std::string& outDir) {
    Source s = Read(path);
    std::map<std::string, Map> maps;
    std::map<int, bool> written;
    std::string line;
    auto emit = [&](int id, const Map& canvas, int hx, int hy) {
        if (written[id]) Fail(s, "cursor " + std::to_string(id) + " defined twice");
        written[id] = true;
        WriteFile(outDir + "/cursor_" + std::to_string(id) + ".cur", CursorFile(canvas, hx, hy));
    };
    while (NextStatement(s, line)) {
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word == "map") {
            std::string name;
            if (!(in >> name)) Fail(s, "map without a name");
            Map m = ReadRows(s, kCursorSize);
            for (const std::string& row : m)
                for (char c : row)
                    if (c != '.' && c != '#' && c != 'o' && c != '~') Fail(s, std::string("unknown pixel ") + c);
            maps[name] = std::move(m);
        } else if (word == "cursor") {
            int id, hx, hy;
            if (!(in >> id >> hx >> hy)) Fail(s, "cursor ID HOTX HOTY LAYER...");
            CheckHotSpot(s, hx, hy);
            Map canvas(kCursorSize, std::string(kCursorSize, '.'));
            std::string layer;
            int layers = 0;
            while (in >> layer) {
                const size_t slash = layer.find('/');
                const std::string name = layer.substr(0, slash);
                Draw(canvas, Find(s, maps, name), TurnsOf(s, slash == std::string::npos ? "" : layer.substr(slash + 1)));
                ++layers;
            }
            if (!layers) Fail(s, "cursor without layers");
            emit(id, canvas, hx, hy);
        } else if (word == "pan") {
            int hx, hy;
            std::string centre, arrow;
            if (!(in >> hx >> hy >> centre >> arrow)) Fail(s, "pan HOTX HOTY CENTRE ARROW");
            CheckHotSpot(s, hx, hy);
            const pelio::PanAxis axes[] = {pelio::PanAxis::Fixed, pelio::PanAxis::AtStart, pelio::PanAxis::AtEnd,
                                           pelio::PanAxis::Between};
            for (pelio::PanAxis h : axes)
                for (pelio::PanAxis v : axes) {
                    const int id = pelio::PanCursorResource(h, v);
                    if (!id) continue;
                    const unsigned open = pelio::PanOpenDirections(h, v);
                    Map canvas(kCursorSize, std::string(kCursorSize, '.'));
                    Draw(canvas, Find(s, maps, centre), 0);
                    const Map& a = Find(s, maps, arrow);
                    if (open & pelio::kPanUp) Draw(canvas, a, 0);
                    if (open & pelio::kPanRight) Draw(canvas, a, 1);
                    if (open & pelio::kPanDown) Draw(canvas, a, 2);
                    if (open & pelio::kPanLeft) Draw(canvas, a, 3);
                    emit(id, canvas, hx, hy);
                }
        } else {
            Fail(s, "unknown statement " + word);
        }
    }
    return static_cast<int>(written.size());
}

// ---- toolbar bitmaps ----

struct Rgb {
    uint8_t r, g, b;
};

std::vector<uint8_t> StripFile(const std::vector<Map>& images, const std::map<char, Rgb>& palette) {
    const int w = kButtonSize * static_cast<int>(images.size()), h = kButtonSize;
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t pixelBytes = static_cast<uint32_t>(stride * h);
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 14 + 40 + pixelBytes);
    Put32(b, 0);
    Put32(b, 14 + 40);
    PutInfoHeader(b, w, h, 24, pixelBytes);
    for (int y = h - 1; y >= 0; --y) {
        size_t rowStart = b.size();
        for (const Map& image : images)
            for (int x = 0; x < kButtonSize; ++x) {
                const Rgb c = palette.at(image[y][x]);
                b.push_back(c.b);
                b.push_back(c.g);
                b.push_back(c.r);
            }
        while ((b.size() - rowStart) % 4) b.push_back(0);
    }
    return b;
}

int GenerateButtons(const std::string& path, const std::string& outDir) {
    Source s = Read(path);
    std::map<char, Rgb> palette;
    std::string line;
    int strips = 0;
    int bitmapId = 0, count = 0;
    std::vector<Map> images;
    auto finish = [&] {
        if (!bitmapId) return;
        if (static_cast<int>(images.size()) != count)
            Fail(s, "bitmap " + std::to_string(bitmapId) + " has " + std::to_string(images.size()) + " images, want " + std::to_string(count));
        WriteFile(outDir + "/toolbar_" + std::to_string(bitmapId) + ".bmp", StripFile(images, palette));
        ++strips;
        images.clear();
        bitmapId = 0;
    };
    while (NextStatement(s, line)) {
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word == "palette") {
            while (NextStatement(s, line) && line != "end") {
                unsigned rgb;
                if (line.size() < 3 || line[1] != ' ' || std::sscanf(line.c_str() + 2, "%6x", &rgb) != 1)
                    Fail(s, "palette entry: C RRGGBB");
                palette[line[0]] = Rgb{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)};
            }
        } else if (word == "bitmap") {
            finish();
            if (!(in >> bitmapId >> count) || bitmapId <= 0 || count <= 0) Fail(s, "bitmap ID COUNT");
        } else if (word == "image") {
            int index;
            if (!bitmapId) Fail(s, "image outside a bitmap");
            if (!(in >> index) || index != static_cast<int>(images.size())) Fail(s, "image indices must run in order");
            Map m = ReadRows(s, kButtonSize);
            for (const std::string& row : m)
                for (char c : row)
                    if (!palette.count(c)) Fail(s, std::string("colour not in the palette: ") + c);
            images.push_back(std::move(m));
        } else {
            Fail(s, "unknown statement " + word);
        }
    }
    finish();
    return strips;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: artgen CURSORS.txt BUTTONS.txt OUT_DIR\n");
        return 2;
    }
    const int cursors = GenerateCursors(argv[1], argv[3]);
    const int strips = GenerateButtons(argv[2], argv[3]);
    std::printf("artgen: %d cursors, %d toolbar bitmaps\n", cursors, strips);
    return 0;
}
