#include "motherboard/supply.h"

void SetVCC(int) {}
void InitVccOptions() {}
