// Entry of the program align_dock_sim: the simulated robot on its own clock.
#include "align_dock_sim/dock_sim_node.hpp"
#include "program/run_node_program.hpp"

int main(int argc, char ** argv)
{
  return align_program::run_node_program<align_dock_sim::DockSimNode>(argc, argv, "align_dock_sim");
}
