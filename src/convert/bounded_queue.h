// SPDX-License-Identifier: GPL-3.0-or-later
// A blocking queue with a fixed capacity: the producer waits while it is full, so a fast
// decoder cannot run ahead of the encoder and fill memory. Heavy items (pictures) and light
// ones (pieces of sound) have capacities of their own, so the small ones never hold up a
// producer that has room for them. With no capacity for heavy items, each one is handed
// over: its producer waits until the consumer has taken it, and so never holds a second
// one while the first still waits.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

namespace vantrel {

template <typename T>
class BoundedQueue {
 public:
  // Light items count against the heavy capacity unless they have one of their own.
  explicit BoundedQueue(std::size_t capacity, std::size_t lightCapacity = 0)
      : capacity_(capacity), lightCapacity_(lightCapacity) {}

  // False when the queue was closed before the item went in; the item is then dropped.
  // Each side wakes the other with the lock let go: woken under it, the other side would
  // only sleep again on the lock, a second wake-up for every picture handed over.
  bool Push(T item, bool light = false) {
    std::unique_lock lock(mutex_);
    light = light && lightCapacity_ > 0;
    const std::size_t room = light ? lightCapacity_ : capacity_ ? capacity_ : 1;
    notFull_.wait(lock, [&] { return closed_ || (light ? light_ : heavy_) < room; });
    if (closed_) return false;
    items_.emplace_back(std::move(item), light);
    ++(light ? light_ : heavy_);
    const std::size_t ticket = ++pushed_;
    lock.unlock();
    notEmpty_.notify_one();
    if (light || capacity_ != 0) return true;
    lock.lock();
    notFull_.wait(lock, [&] { return closed_ || popped_ >= ticket; });
    return true;
  }

  // Empty once the queue is closed and drained.
  std::optional<T> Pop() {
    std::unique_lock lock(mutex_);
    notEmpty_.wait(lock, [&] { return closed_ || !items_.empty(); });
    if (items_.empty()) return std::nullopt;
    auto [item, light] = std::move(items_.front());
    items_.pop_front();
    --(light ? light_ : heavy_);
    ++popped_;
    lock.unlock();
    notFull_.notify_all();  // a handed-over item's producer waits on it too
    return std::move(item);
  }

  // Wakes both sides; later pushes fail, pops drain what is left.
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    notFull_.notify_all();
    notEmpty_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable notFull_;
  std::condition_variable notEmpty_;
  std::deque<std::pair<T, bool>> items_;  // with whether it is light
  const std::size_t capacity_, lightCapacity_;
  std::size_t heavy_ = 0, light_ = 0;
  std::size_t pushed_ = 0, popped_ = 0;
  bool closed_ = false;
};

}  // namespace vantrel
