// Process-wide tables of numbered runtime objects (enumerations, text files).
//
// The caller names an object by a small number of its own choosing, or by −1
// to get a fresh number. Opening under a number in use closes the old object
// first. Objects are held by shared_ptr: a lookup hands out a reference, so an
// object closed by one thread while another still works on it lives until
// that work ends (misuse, but never a dangling pointer). Objects are destroyed
// outside the table lock, because closing may flush buffers to disk.
#pragma once
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

// Fresh numbers start far above the small numbers callers pick themselves.
inline constexpr int kRtFirstAutoNumber = 0x10000;
inline constexpr int kRtAutoNumber = -1;

template <class T> class RtNumberedTable {
  public:
    // Removes and returns the object under number (empty when there is none).
    std::shared_ptr<T> take(int number) {
        std::lock_guard lock(mutex_);
        auto it = objects_.find(number);
        if (it == objects_.end()) return nullptr;
        std::shared_ptr<T> old = std::move(it->second);
        objects_.erase(it);
        return old;
    }

    // Stores obj under number, or under a fresh number for kRtAutoNumber;
    // returns the number used. The caller has taken the old object already.
    int put(int number, std::shared_ptr<T> obj) {
        std::shared_ptr<T> displaced;
        std::lock_guard lock(mutex_);
        if (number == kRtAutoNumber) number = fresh_number();
        displaced = std::move(objects_[number]);
        objects_[number] = std::move(obj);
        return number;
    }

    std::shared_ptr<T> get(int number) const {
        std::lock_guard lock(mutex_);
        auto it = objects_.find(number);
        return it == objects_.end() ? nullptr : it->second;
    }

    // Removes every object (they close once their last user lets go).
    std::map<int, std::shared_ptr<T>> take_all() {
        std::lock_guard lock(mutex_);
        return std::exchange(objects_, {});
    }

  private:
    int fresh_number() {
        while (objects_.count(next_auto_) != 0) advance();
        const int number = next_auto_;
        advance();
        return number;
    }

    void advance() { next_auto_ = next_auto_ == INT_MAX ? kRtFirstAutoNumber : next_auto_ + 1; }

    mutable std::mutex mutex_;
    std::map<int, std::shared_ptr<T>> objects_;
    int next_auto_ = kRtFirstAutoNumber;
};

// A caller's number is valid when it is kRtAutoNumber or not negative.
inline bool rt_number_valid(int number) {
    return number >= 0 || number == kRtAutoNumber;
}
