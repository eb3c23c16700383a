// TVEKList: a list that owns its items. Destroying or clearing it frees every
// item; empty entries are allowed and skipped.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace objscope {

template <typename T>
class TVEKList {
  public:
    TVEKList() = default;
    TVEKList(TVEKList&&) noexcept = default;
    TVEKList& operator=(TVEKList&&) noexcept = default;
    TVEKList(const TVEKList&) = delete;
    TVEKList& operator=(const TVEKList&) = delete;

    // Takes ownership; returns the new item's index.
    size_t add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return items_.size() - 1;
    }
    template <typename... Args>
    T& emplace(Args&&... args) {
        items_.push_back(std::make_unique<T>(std::forward<Args>(args)...));
        return *items_.back();
    }

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    // The item at `index`, or nullptr for an empty entry or an index past the end.
    T* at(size_t index) const { return index < items_.size() ? items_[index].get() : nullptr; }

    // Gives up ownership of one item and removes its entry.
    std::unique_ptr<T> extract(size_t index) {
        if (index >= items_.size())
            return nullptr;
        auto item = std::move(items_[index]);
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
        return item;
    }
    // Frees one item and removes its entry.
    void remove(size_t index) { extract(index); }
    void clear() { items_.clear(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace objscope
