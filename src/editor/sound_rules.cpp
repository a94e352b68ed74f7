#include "sound_rules.h"

#include "text_table.h"

SoundFields SoundFieldsFor(const std::wstring& sound, bool untilAnswered) {
  const AlertSound read = ReadAlertSound(sound);
  SoundFields fields;
  fields.option = read.kind == SoundKind::None   ? NoSoundOption
                  : read.kind == SoundKind::File ? FileOption
                                                 : ReminderOption;
  fields.txtFile = read.file;
  fields.chkUntilAnswered = untilAnswered ? Checked : Unchecked;
  return fields;
}

AlertSound ChosenSound(const SoundFields& fields) {
  switch (fields.option) {
    case NoSoundOption: return {SoundKind::None, {}};
    case FileOption: {
      const AlertSound file = ReadAlertSound(fields.txtFile);
      return file.kind == SoundKind::File ? file : AlertSound{SoundKind::None, {}};
    }
    default: return {};
  }
}

SoundOutcome cmdSoundOK_Record(const SoundFields& fields) {
  const AlertSound sound = ChosenSound(fields);
  if (fields.option == FileOption && sound.kind != SoundKind::File) {
    return {std::nullopt, false, Text(TextId::SoundNoFile)};
  }
  return {StoredSoundText(sound), fields.chkUntilAnswered == Checked, {}};
}
