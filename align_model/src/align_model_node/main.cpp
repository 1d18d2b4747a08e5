// Entry of the program align_node.
#include "align_model_node/align_node.hpp"
#include "program/run_node_program.hpp"

int main(int argc, char ** argv)
{
  return align_program::run_node_program<align_node::AlignNode>(argc, argv, "align_node");
}
