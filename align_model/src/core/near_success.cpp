#include "align_model/near_success.hpp"

namespace align_model
{

double NearSuccess::record(bool found)
{
  const bool overwritten = near_success_[near_success_index_];
  near_success_count_ += (overwritten ? 0 : 1) - (found ? 0 : 1);
  near_success_[near_success_index_] = found;
  near_success_index_ = (near_success_index_ + 1) % kSize;
  return near_success_count_ / 12.0;
}

}  // namespace align_model
