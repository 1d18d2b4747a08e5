#include "align_tools/replay_diagnosis.hpp"

#include "align_tools/funnel_report.hpp"
#include "align_tools/near_miss.hpp"

namespace align_tools
{

std::string diagnosis_text(const Recording & recording, const ReplayRun & run)
{
  const align_model::DetectionFunnel funnel = funnel_of(run.outcomes);
  std::string text = format_funnel(funnel, run.outcomes.size());
  const auto dominant = funnel.dominant_miss();
  if (!dominant) {
    return text;
  }
  MissedScans missed;
  missed.stage = *dominant;
  for (std::size_t i = 0; i < run.outcomes.size() && i < recording.scans.size(); ++i) {
    if (run.outcomes[i].stage == *dominant) {
      missed.scans.push_back(&recording.scans[i]);
    }
  }
  text += "near miss: most scans that gave no pose stopped at \"" +
    std::string(align_model::funnel_stage_name(*dominant)) + "\" (" + std::to_string(missed.scans.size()) +
    " scans)\n";
  for (const auto & line : near_miss_lines(missed, run.view.analysis)) {
    text += line + "\n";
  }
  return text;
}

}  // namespace align_tools
