// Step files of the undo journal as text: see journal_text.h.
#include "runtime/journal_text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>

namespace {

constexpr std::string_view kMagic = "TarnCommander-Undo 1";

// Words of the kinds and states, indexed by their numbers.
const char* const kKindWords[] = {"", "rename", "move", "folder", "copy", "trash", "emptied"};
static_assert(std::size(kKindWords) == RtStepFolderRemoved + 1);
const char* const kStateWords[] = {"", "begun", "done", "undone"};
static_assert(std::size(kStateWords) == RtStepUndone + 1);
const char* const kIdWords[] = {"-", "file", "folder", "link", "other"};
static_assert(std::size(kIdWords) == RtIdOther + 1);

template <size_t N>
int word_index(const char* const (&words)[N], std::string_view word, int first) {
    for (size_t i = static_cast<size_t>(first); i < N; ++i)
        if (word == words[i]) return static_cast<int>(i);
    return -1;
}

const char kHex[] = "0123456789ABCDEF";

// Appends to a string through a pointer, growing it ahead in large steps: a
// step of 10,000 items is some two million characters, written twice per
// operation, so a character costs a store and not a call.
class Writer {
  public:
    explicit Writer(std::string& out, size_t expected) : out_(out), used_(out.size()) {
        out_.resize(used_ + expected);
    }
    ~Writer() { out_.resize(used_); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Room for n more bytes; the pointer stays valid until the next call.
    char* room(size_t n) {
        if (used_ + n > out_.size()) out_.resize(std::max(out_.size() * 2, used_ + n));
        return out_.data() + used_;
    }
    void done(char* end) { used_ = static_cast<size_t>(end - out_.data()); }

    void text(std::string_view s) { done(std::copy(s.begin(), s.end(), room(s.size()))); }
    void tab() { text("\t"); }
    template <class Int> void number(Int value) {
        char* p = room(24);
        done(std::to_chars(p, p + 24, value).ptr);
    }
    void escaped(std::wstring_view text);

  private:
    std::string& out_;
    size_t used_;
};

char* put_hex(char* p, uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) *p++ = kHex[(value >> shift) & 0xF];
    return p;
}

char* put_utf8(char* p, uint32_t c) {
    if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    *p++ = static_cast<char>(0x80 | (c & 0x3F));
    return p;
}

// The longest escape, "\UHHHHHHHH", is ten bytes for one character.
void Writer::escaped(std::wstring_view text) {
    char* p = room(text.size() * 10);
    for (const wchar_t w : text) {
        const auto c = static_cast<uint32_t>(w);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            *p++ = static_cast<char>(c);
        } else if (c == '\\') {
            *p++ = '\\';
            *p++ = '\\';
        } else if (c >= 0xDC00 && c <= 0xDCFF) {
            *p++ = '\\';
            *p++ = 'x';
            p = put_hex(p, c - 0xDC00, 2);
        } else if (c < 0xA0 || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
            *p++ = '\\';
            *p++ = 'U';
            p = put_hex(p, c, 8);
        } else {
            p = put_utf8(p, c);
        }
    }
    done(p);
}

template <class Int> bool read_number(std::string_view field, Int* out) {
    const auto r = std::from_chars(field.data(), field.data() + field.size(), *out);
    return r.ec == std::errc() && r.ptr == field.data() + field.size() && !field.empty();
}

bool read_hex(std::string_view digits, uint32_t* out) {
    *out = 0;
    for (char d : digits) {
        const int v = d >= '0' && d <= '9' ? d - '0' : d >= 'A' && d <= 'F' ? d - 'A' + 10 : -1;
        if (v < 0) return false;
        *out = (*out << 4) | static_cast<uint32_t>(v);
    }
    return true;
}

// One UTF-8 sequence at the start of s: its character and length, 0 when
// the bytes are no valid, shortest sequence of a character.
size_t decode_utf8(std::string_view s, uint32_t* c) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(0);
    const size_t n = lead < 0x80                   ? 1
                     : lead >= 0xC2 && lead < 0xE0 ? 2
                     : lead >= 0xE0 && lead < 0xF0 ? 3
                     : lead >= 0xF0 && lead < 0xF5 ? 4
                                                   : 0;
    if (n == 0 || n > s.size()) return 0;
    *c = n == 1 ? lead : lead & (0x7F >> n);
    for (size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        *c = (*c << 6) | (b(i) & 0x3F);
    }
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (*c < least[n] || *c > 0x10FFFF || (*c >= 0xD800 && *c < 0xE000)) return 0;
    return n;
}

// Splits line at tabs into exactly count fields.
bool split_fields(std::string_view line, std::string_view* fields, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const size_t tab = line.find('\t');
        const bool last = i + 1 == count;
        if (last != (tab == std::string_view::npos)) return false;
        fields[i] = line.substr(0, tab);
        if (!last) line.remove_prefix(tab + 1);
    }
    return true;
}

// The next line of rest (without its line feed), which it leaves; false when
// no whole line is left.
bool next_line(std::string_view* rest, std::string_view* line) {
    const size_t end = rest->find('\n');
    if (end == std::string_view::npos) return false;
    *line = rest->substr(0, end);
    rest->remove_prefix(end + 1);
    return true;
}

constexpr size_t kStepFields = 6, kItemFields = 14, kEndFields = 3;

bool parse_step_line(std::string_view line, RtJournalEntry* out) {
    std::string_view f[kStepFields];
    return split_fields(line, f, kStepFields) && f[0] == "step" && read_number(f[1], &out->id) &&
           out->id > 0 && (out->kind = word_index(kKindWords, f[2], 1)) > 0 &&
           (out->state = word_index(kStateWords, f[3], 1)) > 0 &&
           read_number(f[4], &out->item_count) && out->item_count >= 0 &&
           rt_journal_unescape(f[5], &out->text);
}

bool parse_end_line(std::string_view line, const RtJournalEntry& step) {
    std::string_view f[kEndFields];
    int64_t id = 0, count = 0;
    return split_fields(line, f, kEndFields) && f[0] == "end" && read_number(f[1], &id) &&
           read_number(f[2], &count) && id == step.id && count == step.item_count;
}

// How many characters a and b share at their start.
size_t shared_start(std::wstring_view a, std::wstring_view b) {
    const size_t n = std::min(a.size(), b.size());
    return static_cast<size_t>(std::mismatch(a.begin(), a.begin() + n, b.begin()).first -
                               a.begin());
}

// A path as the characters it shares with the same path of the item before
// (the items of one step mostly lie in one folder) and the rest, escaped.
void format_path(Writer& out, const std::wstring& path, const std::wstring& before) {
    const size_t shared = shared_start(path, before);
    out.number(shared);
    out.tab();
    out.escaped(std::wstring_view(path).substr(shared));
}

bool parse_path(std::string_view shared_field, std::string_view rest, const std::wstring& before,
                std::wstring* path) {
    size_t shared = 0;
    if (!read_number(shared_field, &shared) || shared > before.size()) return false;
    std::wstring tail;
    if (!rt_journal_unescape(rest, &tail)) return false;
    path->assign(before, 0, shared);
    *path += tail;
    return true;
}

void format_item(Writer& out, const RtJournalItem& item, const RtJournalItem& before) {
    out.text(kKindWords[item.kind]);
    out.tab();
    out.text(kStateWords[item.state]);
    out.tab();
    format_path(out, item.from, before.from);
    out.tab();
    format_path(out, item.to, before.to);
    out.tab();
    format_path(out, item.trash, before.trash);
    out.tab();
    out.text(kIdWords[item.identity.kind]);
    out.tab();
    out.number(item.identity.device);
    out.tab();
    out.number(item.identity.inode);
    out.tab();
    out.number(item.identity.size);
    out.tab();
    out.number(item.identity.modified_ns);
    out.tab();
    out.number(item.identity.born_ns);
    out.text("\n");
}

bool parse_item(std::string_view line, const RtJournalItem& before, RtJournalItem* item) {
    std::string_view f[kItemFields];
    RtIdentity& id = item->identity;
    return split_fields(line, f, kItemFields) &&
           (item->kind = word_index(kKindWords, f[0], 1)) > 0 &&
           (item->state = word_index(kStateWords, f[1], 1)) > 0 &&
           parse_path(f[2], f[3], before.from, &item->from) &&
           parse_path(f[4], f[5], before.to, &item->to) &&
           parse_path(f[6], f[7], before.trash, &item->trash) &&
           (id.kind = word_index(kIdWords, f[8], 0)) >= 0 && read_number(f[9], &id.device) &&
           read_number(f[10], &id.inode) && read_number(f[11], &id.size) &&
           read_number(f[12], &id.modified_ns) && read_number(f[13], &id.born_ns);
}

} // namespace

void rt_journal_escape(std::string& out, std::wstring_view text) {
    Writer(out, 0).escaped(text);
}

bool rt_journal_unescape(std::string_view field, std::wstring* out) {
    out->clear();
    while (!field.empty()) {
        uint32_t c = 0;
        size_t n = 0;
        if (field[0] == '\\') {
            const char what = field.size() > 1 ? field[1] : '\0';
            n = what == '\\' ? 2 : what == 'x' ? 4 : what == 'U' ? 10 : 0;
            if (n == 0 || n > field.size()) return false;
            if (what == '\\')
                c = '\\';
            else if (!read_hex(field.substr(2, n - 2), &c))
                return false;
            if (what == 'x') c += 0xDC00;
        } else {
            n = decode_utf8(field, &c);
            if (n == 0 || c < 0x20) return false;
        }
        out->push_back(static_cast<wchar_t>(c));
        field.remove_prefix(n);
    }
    return true;
}

std::string rt_journal_format(const RtJournalStep& step) {
    std::string bytes;
    size_t expected = 128 + step.text.size() * 2;
    for (const RtJournalItem& item : step.items)
        expected += 128 + (item.from.size() + item.to.size() + item.trash.size()) * 2;
    {
        Writer out(bytes, expected); // sized down to what was written when it ends
        out.text(kMagic);
        out.text("\nstep\t");
        out.number(step.id);
        out.tab();
        out.text(kKindWords[step.kind]);
        out.tab();
        out.text(kStateWords[step.state]);
        out.tab();
        out.number(step.items.size());
        out.tab();
        out.escaped(step.text);
        out.text("\n");
        const RtJournalItem none;
        for (size_t i = 0; i < step.items.size(); ++i)
            format_item(out, step.items[i], i ? step.items[i - 1] : none);
        out.text("end\t");
        out.number(step.id);
        out.tab();
        out.number(step.items.size());
        out.text("\n");
    }
    return bytes;
}

bool rt_journal_valid(const RtJournalStep& step) {
    const auto in = [](int v, int last) { return v >= 1 && v <= last; };
    if (!in(step.kind, RtStepTrash) || !in(step.state, RtStepUndone)) return false;
    for (const RtJournalItem& item : step.items)
        if (!in(item.kind, RtStepFolderRemoved) || !in(item.state, RtStepUndone) ||
            item.identity.kind < RtIdNone || item.identity.kind > RtIdOther)
            return false;
    return true;
}

bool rt_journal_parse(std::string_view bytes, RtJournalStep* out) {
    std::string_view line;
    RtJournalEntry head;
    if (!next_line(&bytes, &line) || line != kMagic) return false;
    if (!next_line(&bytes, &line) || !parse_step_line(line, &head)) return false;
    // each item line takes at least one byte per field: a count beyond that
    // is damage, not a reason to reserve gigabytes
    if (head.item_count > static_cast<int64_t>(bytes.size() / kItemFields)) return false;
    *out = RtJournalStep{head.id, head.kind, head.state, head.text, {}};
    out->items.resize(static_cast<size_t>(head.item_count));
    const RtJournalItem none;
    for (size_t i = 0; i < out->items.size(); ++i)
        if (!next_line(&bytes, &line) ||
            !parse_item(line, i ? out->items[i - 1] : none, &out->items[i]))
            return false;
    return next_line(&bytes, &line) && parse_end_line(line, head) && bytes.empty();
}

bool rt_journal_parse_ends(std::string_view head, std::string_view tail, RtJournalEntry* out) {
    std::string_view line;
    *out = RtJournalEntry{};
    if (!next_line(&head, &line) || line != kMagic) return false;
    if (!next_line(&head, &line) || !parse_step_line(line, out)) return false;
    if (tail.empty() || tail.back() != '\n') return false;
    tail.remove_suffix(1);
    const size_t start = tail.rfind('\n');
    if (start == std::string_view::npos) return false;
    return parse_end_line(tail.substr(start + 1), *out);
}
