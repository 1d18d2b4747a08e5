#include "align_tools/funnel_report.hpp"

#include <cstdio>

namespace align_tools
{

align_model::DetectionFunnel funnel_of(const std::vector<ScanOutcome> & outcomes)
{
  align_model::DetectionFunnel funnel;
  for (const auto & outcome : outcomes) {
    if (outcome.stage) {
      funnel.record(*outcome.stage);
    }
  }
  return funnel;
}

std::string format_funnel(const align_model::DetectionFunnel & funnel, std::size_t scans_read)
{
  std::string text = "funnel: where the scans stopped           scans  share\n";
  for (const align_model::FunnelStage stage : align_model::kFunnelStages) {
    const auto count = static_cast<unsigned long long>(funnel.count(stage));
    const double share = scans_read == 0 ? 0.0 : 100.0 * static_cast<double>(count) / scans_read;
    char line[160];
    std::snprintf(line, sizeof(line), "funnel: %-36s %6llu %5.1f%%\n", align_model::funnel_stage_name(stage), count, share);
    text += line;
  }
  return text;
}

}  // namespace align_tools
