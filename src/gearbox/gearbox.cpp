#include "gearbox/gearbox.h"

GearboxState gearboxState;

void updateGearbox() {}

void releaseGearbox() {}
