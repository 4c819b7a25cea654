// The calling thread's current preference file and the rt_pref_* operations
// on it: see prefs.h. Line syntax lives in prefs_nodes.cpp, file access in
// prefs_io.cpp.
#include "runtime/prefs.h"

#include "runtime/prefs_io.h"
#include "runtime/prefs_nodes.h"
#include "runtime/text.h"

#include <optional>

namespace {

constexpr ptrdiff_t kNone = -1;

struct PrefState {
    bool current = false;               // a create or open happened and no close yet
    bool dead = false;                  // the create failed: every call does nothing
    std::string path;                   // OS bytes, kept even when the file is missing
    bool modified = false;              // the list differs from the file
    std::vector<PrefNode> nodes;        // the whole file, in order
    ptrdiff_t group = kNone;            // header of the current group; kNone = unnamed section
    ptrdiff_t insertion = kNone;        // node written or selected last; comments go after it
    std::optional<std::string> pending; // selected group that does not exist yet
};

// One file per thread. Ending the thread frees the list without writing it:
// only rt_pref_close (or the next create/open) writes.
thread_local PrefState t_pref;

bool usable() {
    return t_pref.current && !t_pref.dead;
}

// [begin, end) of the current group's nodes, after its header up to the next.
std::pair<size_t, size_t> group_range() {
    const size_t begin = t_pref.group == kNone ? 0 : static_cast<size_t>(t_pref.group) + 1;
    size_t end = begin;
    while (end < t_pref.nodes.size() && t_pref.nodes[end].kind != PrefNodeKind::Group) ++end;
    return {begin, end};
}

ptrdiff_t find_entry(std::string_view key) {
    const auto [begin, end] = group_range();
    for (size_t i = begin; i < end; ++i) {
        const PrefNode& n = t_pref.nodes[i];
        if (n.kind == PrefNodeKind::Entry && pref_same_name(n.name, key))
            return static_cast<ptrdiff_t>(i);
    }
    return kNone;
}

// Inserts node at pos, keeping the remembered positions on their nodes.
void insert_node(size_t pos, PrefNode node) {
    t_pref.nodes.insert(t_pref.nodes.begin() + static_cast<ptrdiff_t>(pos), std::move(node));
    for (ptrdiff_t* at : {&t_pref.group, &t_pref.insertion})
        if (*at != kNone && *at >= static_cast<ptrdiff_t>(pos)) ++*at;
}

// A group selected before it existed is created by the first write into it.
void create_pending_group() {
    if (!t_pref.pending) return;
    t_pref.nodes.push_back({PrefNodeKind::Group, std::move(*t_pref.pending), {}});
    t_pref.pending.reset();
    t_pref.group = t_pref.insertion = static_cast<ptrdiff_t>(t_pref.nodes.size()) - 1;
}

void write_entry(std::wstring_view key, std::string value) {
    if (!usable()) return;
    create_pending_group();
    std::string key_utf8 = pref_text_to_utf8(key);
    ptrdiff_t at = find_entry(key_utf8);
    if (at != kNone) {
        t_pref.nodes[at].name = std::move(key_utf8); // the case just given wins
        t_pref.nodes[at].value = std::move(value);
    } else {
        at = static_cast<ptrdiff_t>(group_range().second);
        insert_node(static_cast<size_t>(at),
                    {PrefNodeKind::Entry, std::move(key_utf8), std::move(value)});
    }
    t_pref.insertion = at;
    t_pref.modified = true;
}

// The entry's raw value, or nullptr when reads must give their default.
const std::string* read_entry(std::wstring_view key) {
    if (!usable() || t_pref.pending) return nullptr;
    const ptrdiff_t at = find_entry(pref_text_to_utf8(key));
    return at == kNone ? nullptr : &t_pref.nodes[at].value;
}

// Signed decimal at the start of s after white space; no digits give 0.
// Values beyond the 64-bit range stop at its ends.
int64_t parse_int64(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    uint64_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const unsigned d = static_cast<unsigned>(s[i] - '0');
        value = value > (limit - d) / 10 ? limit : value * 10 + d;
    }
    return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

std::string_view trim_blanks(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace

int rt_pref_create(std::wstring_view path) {
    rt_pref_close();
    t_pref.current = true;
    t_pref.path = rt_text_to_os(path);
    // Nothing is truncated here: the old file stays until the close replaces
    // it. Checking now still reports an unwritable place at create time.
    if (!pref_can_replace(t_pref.path)) {
        t_pref.dead = true;
        return 0;
    }
    t_pref.modified = true;
    return 1;
}

int rt_pref_open(std::wstring_view path) {
    rt_pref_close();
    t_pref.current = true;
    t_pref.path = rt_text_to_os(path);
    std::string bytes;
    if (!pref_read_file(t_pref.path, &bytes)) return 0;
    t_pref.nodes = pref_parse(bytes);
    return 1;
}

int rt_pref_close() {
    int result = 0;
    if (usable())
        result = !t_pref.modified || pref_replace_file(t_pref.path, pref_serialize(t_pref.nodes));
    t_pref = PrefState();
    return result;
}

int rt_pref_group(std::wstring_view name) {
    if (!usable()) return 0;
    if (name.empty()) {
        t_pref.group = t_pref.insertion = kNone;
        t_pref.pending.reset();
        return 1;
    }
    std::string name_utf8 = pref_text_to_utf8(name);
    for (size_t i = 0; i < t_pref.nodes.size(); ++i) {
        const PrefNode& n = t_pref.nodes[i];
        if (n.kind == PrefNodeKind::Group && pref_same_name(n.name, name_utf8)) {
            t_pref.group = t_pref.insertion = static_cast<ptrdiff_t>(i);
            t_pref.pending.reset();
            return 1;
        }
    }
    t_pref.pending = std::move(name_utf8);
    return 0;
}

void rt_pref_write_comment(std::wstring_view text) {
    if (!usable()) return;
    create_pending_group();
    const size_t at = t_pref.insertion == kNone ? 0 : static_cast<size_t>(t_pref.insertion) + 1;
    insert_node(at, {PrefNodeKind::Comment, pref_text_to_utf8(text), {}});
    t_pref.insertion = static_cast<ptrdiff_t>(at);
    t_pref.modified = true;
}

void rt_pref_write_long(std::wstring_view key, int64_t value) {
    // only the low 32 bits are stored, as a signed number
    const auto low = static_cast<int32_t>(static_cast<uint32_t>(value));
    write_entry(key, std::to_string(low));
}

void rt_pref_write_string(std::wstring_view key, std::wstring_view text) {
    write_entry(key, pref_text_to_utf8(text));
}

int64_t rt_pref_read_long(std::wstring_view key, int64_t def) {
    const std::string* value = read_entry(key);
    return value ? parse_int64(*value) : def;
}

std::wstring rt_pref_read_string(std::wstring_view key, std::wstring_view def) {
    const std::string* value = read_entry(key);
    return value ? pref_text_from_utf8(trim_blanks(*value)) : std::wstring(def);
}
