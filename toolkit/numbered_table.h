// Numbered tables of the toolkit's own records (images, fonts, menus,
// toolbars). The application names a record by a small number of its
// choosing, or asks for "any" number with -1: the record's own address then
// becomes its number. The handle of a record is always its address.
//
// Creating under a number in use hands the old record back to the caller,
// who destroys it (so destruction happens outside the table lock and on the
// caller's thread). A handle is checked against the live records before it
// is trusted, so a stale or invented handle reads as absent.
// Thread safety: every call takes the table's own lock. A record pointer
// handed out stays valid until its number is freed; freeing a record that
// another thread still uses is the caller's mistake.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

inline constexpr int64_t kTkAnyNumber = -1;

template <class T> class TkNumberTable {
  public:
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

  private:
    mutable std::mutex mutex_;
    std::map<int64_t, std::unique_ptr<T>> by_number_;
    std::unordered_map<T*, int64_t> by_handle_;
};

// What a creating call returns: the new number for -1, else the handle.
inline int64_t tk_created_result(int64_t asked, int64_t number, const void* rec) {
    return asked == kTkAnyNumber ? number : static_cast<int64_t>(reinterpret_cast<intptr_t>(rec));
}
