#include "platform/DropRegistration.h"

// Native windows take no drops outside Windows.
DropRegistration::DropRegistration(void* nativeWindow, DropReceiver&) : window(nativeWindow) {}

DropRegistration::~DropRegistration() = default;
