#include "platform/system/wave_out.h"
#include "tests/toolkit/media_fixture.h"

void Use_Silent_Wave_Output() { TWave_Out::Use_Device(Wave_Device_Kind::Silent); }
void Force_Wave_Probe(int bits) { TWave_Out::Force_Probe(bits); }
