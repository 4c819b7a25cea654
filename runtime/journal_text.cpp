// Step files of the undo journal as text: see journal_text.h.
#include "runtime/journal_text.h"

#include <charconv>
#include <cstdint>
#include <iterator>

namespace {

constexpr std::string_view kMagic = "TarnCommander-Undo 1";

// Words of the kinds and states, indexed by their numbers.
const char* const kKindWords[] = {"", "rename", "move", "folder", "copy", "trash"};
static_assert(std::size(kKindWords) == RtStepTrash + 1);
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

void append_hex(std::string& out, uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

void append_utf8(std::string& out, uint32_t c) {
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
}

template <class Int> void append_number(std::string& out, Int value) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
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

constexpr size_t kStepFields = 6, kItemFields = 10, kEndFields = 3;

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

void format_item(std::string& out, const RtJournalItem& item) {
    out += kKindWords[item.kind];
    out += '\t';
    out += kStateWords[item.state];
    out += '\t';
    rt_journal_escape(out, item.from);
    out += '\t';
    rt_journal_escape(out, item.to);
    out += '\t';
    rt_journal_escape(out, item.trash);
    out += '\t';
    out += kIdWords[item.identity.kind];
    out += '\t';
    append_number(out, item.identity.device);
    out += '\t';
    append_number(out, item.identity.inode);
    out += '\t';
    append_number(out, item.identity.size);
    out += '\t';
    append_number(out, item.identity.modified_ns);
    out += '\n';
}

bool parse_item(std::string_view line, RtJournalItem* item) {
    std::string_view f[kItemFields];
    RtIdentity& id = item->identity;
    return split_fields(line, f, kItemFields) &&
           (item->kind = word_index(kKindWords, f[0], 1)) > 0 &&
           (item->state = word_index(kStateWords, f[1], 1)) > 0 &&
           rt_journal_unescape(f[2], &item->from) && rt_journal_unescape(f[3], &item->to) &&
           rt_journal_unescape(f[4], &item->trash) &&
           (id.kind = word_index(kIdWords, f[5], 0)) >= 0 && read_number(f[6], &id.device) &&
           read_number(f[7], &id.inode) && read_number(f[8], &id.size) &&
           read_number(f[9], &id.modified_ns);
}

} // namespace

void rt_journal_escape(std::string& out, std::wstring_view text) {
    for (const wchar_t w : text) {
        const auto c = static_cast<uint32_t>(w);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0xDC00 && c <= 0xDCFF) {
            out += "\\x";
            append_hex(out, c - 0xDC00, 2);
        } else if (c < 0xA0 || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
            out += "\\U";
            append_hex(out, c, 8);
        } else {
            append_utf8(out, c);
        }
    }
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
    std::string out;
    size_t estimate = 128 + step.text.size();
    for (const RtJournalItem& item : step.items)
        estimate += 64 + item.from.size() + item.to.size() + item.trash.size();
    out.reserve(estimate + estimate / 4);
    out += kMagic;
    out += "\nstep\t";
    append_number(out, step.id);
    out += '\t';
    out += kKindWords[step.kind];
    out += '\t';
    out += kStateWords[step.state];
    out += '\t';
    append_number(out, step.items.size());
    out += '\t';
    rt_journal_escape(out, step.text);
    out += '\n';
    for (const RtJournalItem& item : step.items) format_item(out, item);
    out += "end\t";
    append_number(out, step.id);
    out += '\t';
    append_number(out, step.items.size());
    out += '\n';
    return out;
}

bool rt_journal_valid(const RtJournalStep& step) {
    const auto in = [](int v, int last) { return v >= 1 && v <= last; };
    if (!in(step.kind, RtStepTrash) || !in(step.state, RtStepUndone)) return false;
    for (const RtJournalItem& item : step.items)
        if (!in(item.kind, RtStepTrash) || !in(item.state, RtStepUndone) ||
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
    for (RtJournalItem& item : out->items)
        if (!next_line(&bytes, &line) || !parse_item(line, &item)) return false;
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
