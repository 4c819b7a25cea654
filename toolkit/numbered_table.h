// Numbered tables of the toolkit's own records (gadgets, windows, images,
// fonts, menus, toolbars). The application names a record by a small number of its
// choosing, or asks for "any" number with -1: the record's own address then
// becomes its number. The handle of a record is always its address.
//
// Creating under a number in use hands the old record back to the caller,
// who destroys it (so destruction happens outside the table lock and on the
// caller's thread). A handle is checked against the live records before it
// is trusted, so a stale or invented handle reads as absent.
// Misuse is loud in debug builds: an operation that needs a record looks it
// up with `use`, which reports an unknown number on standard error (with the
// number and the operation) when NDEBUG is not defined, so a mistyped number
// shows at once. The result is the same in every build: the operation does
// nothing and returns 0. Plain `find` stays quiet, for the calls where an
// absent number is normal (exists, free, re-creating a number).
// Creating under a number in use frees the old record, as the contract
// says, and stays quiet where that is the normal way to rebuild (a gadget
// re-made in its own window, a scratch image, a popup menu built afresh);
// a debug build reports the cases that are mistakes: a gadget number taken
// from another window, and a window opened under the number of an open one.
// Thread safety: every call takes the table's own lock. A record pointer
// handed out stays valid until its number is freed; freeing a record that
// another thread still uses is the caller's mistake.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

inline constexpr int64_t kTkAnyNumber = -1;

// Reports on standard error, in debug builds only, that operation was asked
// for a kind ("gadget", "window", ...) under a number no record has.
inline void tk_misuse_report([[maybe_unused]] const char* kind, [[maybe_unused]] int64_t number,
                             [[maybe_unused]] const char* operation) {
#ifndef NDEBUG
    std::fprintf(stderr, "toolkit: %s %lld does not exist (%s)\n", kind,
                 static_cast<long long>(number), operation);
#endif
}

// Reports on standard error, in debug builds only, that operation created
// a kind under a number whose record lives elsewhere (another window's
// gadget, an open window): the old record is freed as always, but two
// places sharing one number is nearly always a typo. where says whose the
// old record was.
inline void tk_duplicate_report([[maybe_unused]] const char* kind, [[maybe_unused]] int64_t number,
                                [[maybe_unused]] const char* where,
                                [[maybe_unused]] const char* operation) {
#ifndef NDEBUG
    std::fprintf(stderr, "toolkit: %s %lld is already in use%s%s, the old one is freed (%s)\n",
                 kind, static_cast<long long>(number), *where ? " " : "", where, operation);
#endif
}

template <class T> class TkNumberTable {
  public:
    // kind names the records in misuse reports ("gadget", "image", ...).
    explicit TkNumberTable(const char* kind) : kind_(kind) {}

    // Stores rec under number (-1 = its own address). Returns the number
    // used; `old` receives the record that had that number, if any.
    int64_t put(int64_t number, std::unique_ptr<T> rec, std::unique_ptr<T>& old) {
        std::lock_guard lock(mutex_);
        T* raw = rec.get();
        if (number == kTkAnyNumber) number = static_cast<int64_t>(reinterpret_cast<intptr_t>(raw));
        auto it = by_number_.find(number);
        if (it != by_number_.end()) {
            by_handle_.erase(it->second.get());
            old = std::move(it->second);
        }
        by_number_[number] = std::move(rec);
        by_handle_[raw] = number;
        return number;
    }

    // The record under a number, or null.
    T* find(int64_t number) const {
        std::lock_guard lock(mutex_);
        auto it = by_number_.find(number);
        return it == by_number_.end() ? nullptr : it->second.get();
    }

    // The record under a number for an operation that needs it, or null,
    // reported in debug builds.
    T* use(int64_t number, const char* operation) const {
        T* rec = find(number);
        if (!rec) tk_misuse_report(kind_, number, operation);
        return rec;
    }

    // The record whose handle (address) this is, or null.
    T* from_handle(intptr_t handle) const {
        std::lock_guard lock(mutex_);
        auto it = by_handle_.find(reinterpret_cast<T*>(handle));
        return it == by_handle_.end() ? nullptr : it->first;
    }

    // The number of a live record, or kTkAnyNumber when it is not in the table.
    int64_t number_of(const T* rec) const {
        std::lock_guard lock(mutex_);
        auto it = by_handle_.find(const_cast<T*>(rec));
        return it == by_handle_.end() ? kTkAnyNumber : it->second;
    }

    // Removes the record under number and hands it to the caller (null if none).
    std::unique_ptr<T> take(int64_t number) {
        std::lock_guard lock(mutex_);
        auto it = by_number_.find(number);
        if (it == by_number_.end()) return nullptr;
        std::unique_ptr<T> rec = std::move(it->second);
        by_number_.erase(it);
        by_handle_.erase(rec.get());
        return rec;
    }

    // Removes every record and hands them all to the caller.
    std::vector<std::unique_ptr<T>> take_all() {
        std::lock_guard lock(mutex_);
        std::vector<std::unique_ptr<T>> all;
        for (auto& [number, rec] : by_number_) all.push_back(std::move(rec));
        by_number_.clear();
        by_handle_.clear();
        return all;
    }

    // Calls fn(number, record) for every record, under the lock.
    template <class Fn> void each(Fn fn) const {
        std::lock_guard lock(mutex_);
        for (const auto& [number, rec] : by_number_) fn(number, rec.get());
    }

    // The number of records.
    size_t size() const {
        std::lock_guard lock(mutex_);
        return by_number_.size();
    }

  private:
    const char* kind_;
    mutable std::mutex mutex_;
    std::map<int64_t, std::unique_ptr<T>> by_number_;
    std::unordered_map<T*, int64_t> by_handle_;
};

// What a creating call returns: the new number for -1, else the handle.
inline int64_t tk_created_result(int64_t asked, int64_t number, const void* rec) {
    return asked == kTkAnyNumber ? number : static_cast<int64_t>(reinterpret_cast<intptr_t>(rec));
}
