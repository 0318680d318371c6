// helpgen: turns the help sources (UTF-8) into the Shift-JIS files that the help compiler
// takes, filling in command captions and keys from the command table so that the pages
// never disagree with the menus. Runs on the build host.
//
// usage: helpgen SOURCE_DIR OUT_DIR VERSION FILE...
//        helpgen --clear-stamps FILE.chm
//
// Markers in a source file:
//   {{cmd:ID}}    the command's menu caption without its access key and "..."
//   {{key:ID}}    the command's default key ("Ctrl+O"), or "なし"
//   {{keys}}      table rows of every key slot: name and default key
//   {{menu}}      the context menu as nested lists, with default keys
//   {{version}}   VERSION
// An unknown marker or command fails the run.
//
// --clear-stamps zeroes the two build times the help compiler writes (the file header's and
// the one in #SYSTEM), so that the same sources give the same bytes.
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "core/commands/accelerators.h"
#include "core/commands/command_table.h"
#include "core/commands/key_assignment.h"
#include "core/commands/key_names.h"

namespace {

using namespace pelio;

std::string Utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        const auto u = static_cast<uint32_t>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string Html(const std::wstring& text) {
    std::string out;
    for (char c : Utf8(text)) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        default: out += c;
        }
    }
    return out;
}

// "印刷(プレビュー)(&P)..." -> "印刷(プレビュー)".
std::wstring PlainCaption(std::wstring caption) {
    if (caption.ends_with(L"...")) caption.resize(caption.size() - 3);
    if (caption.size() >= 4 && caption.ends_with(L")") && caption[caption.size() - 3] == L'&')
        caption.resize(caption.size() - 4);
    return caption;
}

std::string CommandCaption(int id) {
    const CommandInfo* info = FindCommand(id);
    if (!info) throw std::runtime_error("no command " + std::to_string(id));
    return Html(PlainCaption(info->caption));
}

std::string DefaultKey(int id) {
    for (const Accel& a : DefaultAccelerators()) {
        if (a.command != id) continue;
        const std::wstring keys = ShortcutText(a);
        return keys.empty() ? "なし" : Html(keys);
    }
    throw std::runtime_error("no key slot for command " + std::to_string(id));
}

std::string KeyRows() {
    std::string out;
    const AccelTable& table = DefaultAccelerators();
    for (int slot = 0; slot < kAccelCount; ++slot) {
        const std::wstring keys = ShortcutText(table[size_t(slot)]);
        out += "<tr><td>" + Html(SlotNames()[size_t(slot)]) + "</td><td>" + (keys.empty() ? "-" : Html(keys)) +
               "</td></tr>\n";
    }
    return out;
}

void MenuList(std::span<const MenuNode> nodes, std::string& out, int depth) {
    const std::string indent(size_t(depth) * 2, ' ');
    out += indent + "<ul>\n";
    for (const MenuNode& n : nodes) {
        switch (n.kind) {
        case MenuNode::Kind::Separator: break;
        case MenuNode::Kind::Submenu:
            out += indent + "<li>" + Html(PlainCaption(n.caption)) + "\n";
            MenuList(n.children, out, depth + 1);
            out += indent + "</li>\n";
            break;
        case MenuNode::Kind::Tools:
            out += indent + "<li>登録したツール(1〜8)</li>\n";
            break;
        case MenuNode::Kind::Command: {
            const std::string key = DefaultKey(n.id);
            out += indent + "<li>" + CommandCaption(n.id) + (key == "なし" ? "" : " <kbd>" + key + "</kbd>") +
                   "</li>\n";
            break;
        }
        }
    }
    out += indent + "</ul>\n";
}

std::string Expand(const std::string& text, const std::string& version) {
    std::string out;
    size_t at = 0;
    for (;;) {
        const size_t open = text.find("{{", at);
        if (open == std::string::npos) break;
        const size_t close = text.find("}}", open);
        if (close == std::string::npos) throw std::runtime_error("unclosed marker");
        out.append(text, at, open - at);
        const std::string marker = text.substr(open + 2, close - open - 2);
        if (marker == "keys") {
            out += KeyRows();
        } else if (marker == "menu") {
            MenuList(ContextMenu(), out, 0);
        } else if (marker == "version") {
            out += version;
        } else if (marker.starts_with("cmd:")) {
            out += CommandCaption(std::stoi(marker.substr(4)));
        } else if (marker.starts_with("key:")) {
            out += DefaultKey(std::stoi(marker.substr(4)));
        } else {
            throw std::runtime_error("unknown marker {{" + marker + "}}");
        }
        at = close + 2;
    }
    out.append(text, at);
    return out;
}

std::string ToShiftJis(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
    std::string out(utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    const size_t result = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1))
        throw std::runtime_error("not representable in Shift-JIS at byte " + std::to_string(utf8.size() - inLeft));
    out.resize(out.size() - outLeft);
    return out;
}

uint32_t Le32(const std::string& b, size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("truncated");
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

uint64_t EncInt(const std::string& b, size_t& at, size_t end) {
    uint64_t value = 0;
    for (;;) {
        if (at >= end) throw std::runtime_error("bad directory entry");
        const uint8_t c = uint8_t(b[at++]);
        value = value << 7 | (c & 0x7F);
        if (!(c & 0x80)) return value;
    }
}

// Offset in the file of the section-0 entry `name`, from the PMGL listing chunks.
size_t SectionZeroEntry(const std::string& b, const std::string& name, size_t& length) {
    const size_t directory = Le32(b, 0x48);
    const size_t section0 = Le32(b, 0x58);
    if (b.compare(directory, 4, "ITSP") != 0) throw std::runtime_error("no directory");
    const size_t headerLength = Le32(b, directory + 8);
    const size_t chunkSize = Le32(b, directory + 0x10);
    if (chunkSize < 20) throw std::runtime_error("bad chunk size");
    for (size_t chunk = directory + headerLength; chunk + chunkSize <= b.size(); chunk += chunkSize) {
        if (b.compare(chunk, 4, "PMGL") != 0) continue;
        const size_t end = chunk + chunkSize - Le32(b, chunk + 4);
        size_t at = chunk + 20;
        while (at < end) {
            const size_t nameLength = EncInt(b, at, end);
            if (at + nameLength > end) throw std::runtime_error("bad directory entry");
            const std::string entry = b.substr(at, nameLength);
            at += nameLength;
            const uint64_t section = EncInt(b, at, end);
            const uint64_t offset = EncInt(b, at, end);
            length = EncInt(b, at, end);
            if (entry == name && section == 0) return section0 + offset;
        }
    }
    throw std::runtime_error("no " + name);
}

void ClearStamps(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string b = all.str();
    if (b.size() < 0x60 || b.compare(0, 4, "ITSF") != 0) throw std::runtime_error("not a compiled help file");
    b.replace(0x10, 4, 4, '\0');
    size_t length = 0;
    const size_t system = SectionZeroEntry(b, "/#SYSTEM", length);
    if (system + length > b.size()) throw std::runtime_error("bad #SYSTEM");
    for (size_t at = system + 4; at + 4 <= system + length;) {
        const unsigned code = uint8_t(b[at]) | uint8_t(b[at + 1]) << 8;
        const unsigned size = uint8_t(b[at + 2]) | uint8_t(b[at + 3]) << 8;
        at += 4;
        if (at + size > system + length) throw std::runtime_error("bad #SYSTEM entry");
        if (code == 10) b.replace(at, size, size, '\0');  // compile time
        at += size;
    }
    std::ofstream out(path, std::ios::binary);
    out << b;
    if (!out) throw std::runtime_error("cannot write");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--clear-stamps") {
        try {
            ClearStamps(argv[2]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "helpgen: %s: %s\n", argv[2], e.what());
            return 1;
        }
        return 0;
    }
    if (argc < 5) {
        std::fprintf(stderr, "usage: helpgen SOURCE_DIR OUT_DIR VERSION FILE...\n");
        return 2;
    }
    const std::string source = argv[1], target = argv[2], version = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string name = argv[i];
        try {
            std::ifstream in(source + "/" + name, std::ios::binary);
            if (!in) throw std::runtime_error("cannot read");
            std::stringstream text;
            text << in.rdbuf();
            const std::string bytes = ToShiftJis(Expand(text.str(), version));
            std::ofstream out(target + "/" + name, std::ios::binary);
            out << bytes;
            if (!out) throw std::runtime_error("cannot write");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "helpgen: %s: %s\n", name.c_str(), e.what());
            return 1;
        }
    }
    return 0;
}
