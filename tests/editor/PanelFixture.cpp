#include "PanelFixture.h"

std::mutex PanelFixture::requestLock;
std::vector<PanelFixture::Request> PanelFixture::requests;
std::function<void(const PanelFixture::Request&)> PanelFixture::hostReaction;
