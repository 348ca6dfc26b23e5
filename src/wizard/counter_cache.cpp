#include "wizard/counter_cache.h"

namespace fjl::wizard {

bool RedrawPace::Due() {
  const auto now = clock_();
  if (last_ && now - *last_ < kRedrawInterval) return false;
  last_ = now;
  return true;
}

CounterCache::Box& CounterCache::At(std::size_t box) const {
  if (box >= cached_.size()) cached_.resize(box + 1);
  return cached_[box];
}

std::string CounterCache::CounterText(std::size_t box) const {
  Box& cached = At(box);
  if (!cached.text) {
    cached.text = boxes_.CounterText(box);
    cached.drawn = cached.text;
  }
  return *cached.text;
}

void CounterCache::SetCounterText(std::size_t box, std::string_view text) {
  Box& cached = At(box);
  cached.text = std::string(text);
  cached.changed = true;
}

void CounterCache::Flush() {
  for (std::size_t box = 0; box < cached_.size(); ++box) {
    Box& cached = cached_[box];
    if (cached.drawn) {
      std::string shown = boxes_.CounterText(box);
      if (shown != *cached.drawn) {
        cached.text = shown;
        cached.drawn = std::move(shown);
        cached.changed = false;
        continue;
      }
    }
    if (!cached.changed) continue;
    cached.changed = false;
    boxes_.SetCounterText(box, *cached.text);
    cached.drawn = cached.text;
  }
}

}  // namespace fjl::wizard
