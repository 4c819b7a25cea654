// The hard-link record of a job: the first target of every source file with
// several names. See PfCopyLinks in copy.h.
#include "platform/copy_internal.h"

namespace {

std::pair<dev_t, ino_t> key_of(const struct stat& st) {
    return {st.st_dev, st.st_ino};
}

} // namespace

// A name whose first copy runs on another thread waits for it, so that the
// two names become one file, not two copies: the wait is as long as one
// copy, and no thread ever waits while holding a claim of its own.
bool pf_copy_links_claim(PfCopyLinks* links, const struct stat& st, std::string* first) {
    std::unique_lock<std::mutex> hold(links->lock);
    for (;;) {
        const auto it = links->firsts.find(key_of(st));
        if (it == links->firsts.end()) {
            links->firsts.emplace(key_of(st), PfCopyLinks::First{});
            return false;
        }
        if (it->second.state == PfCopyLinks::State::Done) {
            *first = it->second.target;
            return true;
        }
        links->settled.wait(hold);
    }
}

// A first copy that failed leaves no entry: the next name is copied anew.
void pf_copy_links_settle(PfCopyLinks* links, const struct stat& st, const std::string& target,
                          bool placed) {
    {
        std::lock_guard<std::mutex> hold(links->lock);
        const auto it = links->firsts.find(key_of(st));
        if (it == links->firsts.end()) return;
        if (placed)
            it->second = {PfCopyLinks::State::Done, target};
        else
            links->firsts.erase(it);
    }
    links->settled.notify_all();
}
