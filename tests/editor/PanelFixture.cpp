#include "PanelFixture.h"

std::vector<PanelFixture::Request> PanelFixture::requests;
std::function<void(const PanelFixture::Request&)> PanelFixture::hostReaction;
