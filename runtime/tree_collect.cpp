// rt_tree_collect: the entries a copy of a tree will copy. See tree.h.
#include "runtime/control.h"
#include "runtime/tree.h"

namespace {

int take(RtTreeWalk* w, int, const char*, const RtTreeEntry& e) {
    static_cast<std::vector<RtTreeEntry>*>(w->visitor)->push_back(e);
    rt_control_add_items(w->control, 1);
    return RtWalkEnter;
}

// The walk enters a folder right after its entry was taken, so the folder
// it could not list is the last one taken.
void mark_unlisted(RtTreeWalk* w, const RtTreeEntry&, int error) {
    static_cast<std::vector<RtTreeEntry>*>(w->visitor)->back().error = error;
}

} // namespace

int rt_tree_collect(const std::string& root, std::vector<RtTreeEntry>* out, RtControl* control,
                    RtTreeFailureFn failed, void* user) {
    RtTreeWalk w;
    w.entry = take;
    w.unlisted = mark_unlisted;
    w.visitor = out;
    w.control = control;
    w.failed = failed;
    w.user = user;
    w.full_stat = true;
    return rt_tree_walk(root, &w);
}
