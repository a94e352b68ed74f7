#include "sound_choice.h"

SoundToPlay ChooseSound(const AlertSound& sound, bool untilAnswered, const SoundSources& sources) {
  if (sound.kind == SoundKind::None) return {};
  if (sound.kind == SoundKind::File && sources.fileExists(sound.file)) return {sound.file, untilAnswered};
  auto file = sources.eventFile(kAlertEventApp, kAlertEvent);
  if (!file) file = sources.eventFile(kWindowsEventApp, kReminderEvent);
  if (!file || file->empty()) return {};
  return {std::move(*file), untilAnswered};
}
