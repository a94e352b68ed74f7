#include "zone_resolver.h"

#include <algorithm>

#include "repeat_rules.h"
#include "utf8_text.h"

namespace {

// Repeats are kept when their zone and the PC's keep the same distance at
// each occurrence over the next year (and a margin): then their local time
// never drifts.
constexpr double kDriftWindowDays = 368.0;
constexpr std::size_t kMaxZoneLookups = 100;

bool IsUtcName(std::string_view name) { return name == "UTC" || name == "Etc/UTC" || name == "GMT" || name == "Z"; }

}  // namespace

ZoneResolver::ZoneResolver(const std::vector<Component>& calendars, const ImportContext& context)
    : context_(context), local_(context.localZone) {
  for (const Component& calendar : calendars) {
    for (const Component& child : calendar.children) {
      if (child.name != "VTIMEZONE") continue;
      FileZoneReading reading = ReadFileZone(child);
      fileZones_.try_emplace(reading.name, std::move(reading));
    }
  }
}

ZoneResolver::Lookup ZoneResolver::Find(const std::string& name) {
  Lookup lookup;
  if (const auto own = fileZones_.find(name); own != fileZones_.end()) {
    if (own->second.zone) {
      lookup.zone = &*own->second.zone;
    } else {
      lookup.unreadableLine = own->second.unreadableLine;
    }
    return lookup;
  }
  auto known = windowsZones_.find(name);
  if (known == windowsZones_.end()) {
    std::unique_ptr<ZoneClock> zone;
    // A hostile file could name thousands of zones: Windows is asked about the first few.
    const bool mayAsk = context_.findWindowsZone && windowsZones_.size() < kMaxZoneLookups;
    if (auto rules = mayAsk ? context_.findWindowsZone(Utf8ToWide(name)) : std::nullopt) {
      zone = std::make_unique<RulesClock>(std::move(*rules));
    } else if (IsUtcName(name)) {
      zone = std::make_unique<ConstantClock>(0);
    } else {
      unknown_.push_back(name);
    }
    known = windowsZones_.emplace(name, std::move(zone)).first;
  }
  lookup.zone = known->second.get();
  return lookup;
}

std::size_t ZoneResolver::RuleSteps() const {
  std::size_t steps = 0;
  for (const auto& [name, reading] : fileZones_) steps += reading.zone ? reading.zone->RuleSteps() : 0;
  return steps;
}

std::optional<int> ZoneResolver::SteadyDistance(const ZoneClock* zone, const Recurrence& series, double startWall,
                                                double firstWall, double nowUtc) const {
  if (zone == nullptr) return 0;
  // Between two changes of either zone the distance holds: only the
  // stretches where it differs from the first occurrence's are looked at,
  // and only an occurrence inside one of them moves.
  const double fromUtc = nowUtc;
  const double toUtc = fromUtc + kDriftWindowDays;
  std::vector<double> edges = zone->ChangesBetween(fromUtc, toUtc);
  const std::vector<double> localChanges = local_.ChangesBetween(fromUtc, toUtc);
  edges.insert(edges.end(), localChanges.begin(), localChanges.end());
  edges.push_back(fromUtc);
  edges.push_back(toUtc);
  std::sort(edges.begin(), edges.end());
  const int distance = OffsetDistance(*zone, local_, WallToUtc(*zone, firstWall));
  for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
    const double middle = (edges[i] + edges[i + 1]) / 2;
    if (!(edges[i] < edges[i + 1]) || OffsetDistance(*zone, local_, middle) == distance) continue;
    const double offset = zone->OffsetAtUtc(middle) / kSecondsPerDay;
    const auto next = OccurrenceAtOrAfter(series, startWall, edges[i] + offset);
    if (next && *next < edges[i + 1] + offset) return std::nullopt;
  }
  return distance;
}
