// Entry of the program align_feature_node.
#include <chrono>

#include "feature/feature_node.hpp"
#include "program/run_node_program.hpp"

int main(int argc, char ** argv)
{
  return align_program::run_node_program<align_model::FeatureNode>(
    argc, argv, "align_feature_node", [] {
      // A frame listener worker may still be tearing down its transform
      // listener; let it finish before the process exits beneath it (it stops
      // within a few tens of milliseconds once asked).
      align_model::StaticFrameListener::wait_for_workers(std::chrono::milliseconds(1000));
    });
}
