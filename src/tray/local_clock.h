// Now, from the local wall clock, to the second.
#pragma once

#include "date_value.h"

class LocalClock final : public Clock {
 public:
  DateValue Now() const override;
};
