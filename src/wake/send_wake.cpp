#include "wake/send_wake.h"

void SendWake(WideText, WideText, WideText, WideText) {}
