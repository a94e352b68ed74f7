#include "zone_resolver.h"

#include "utf8_text.h"

namespace {

// Repeats are kept when their zone and the PC's keep the same distance over
// the next year (and a margin): then their local time never drifts.
constexpr double kDriftWindowDays = 368.0;
constexpr std::size_t kMaxZoneLookups = 100;

std::optional<int> ConstantDistance(const ZoneClock* zone, const ZoneClock& local, double from, double to) {
  if (zone == nullptr) return 0;
  const int distance = OffsetDistance(*zone, local, from);
  for (const ZoneClock* clock : {zone, &local}) {
    for (const double change : clock->ChangesBetween(from, to)) {
      if (OffsetDistance(*zone, local, change) != distance) return std::nullopt;
    }
  }
  return distance;
}

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

std::optional<int> ZoneResolver::SteadyDistance(const ZoneClock* zone, double nowUtc) {
  const auto known = steadyDistances_.find(zone);
  if (known != steadyDistances_.end()) return known->second;
  const auto distance = ConstantDistance(zone, local_, nowUtc - 2.0, nowUtc + kDriftWindowDays);
  steadyDistances_.emplace(zone, distance);
  return distance;
}
