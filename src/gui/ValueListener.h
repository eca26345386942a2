#pragma once

class PaintContext;
class ValueControl;

// Told of every change of a control's value; reads the tag and value from the control.
class ValueListener {
public:
    virtual ~ValueListener() = default;
    virtual void onValueChanged(PaintContext& context, ValueControl& control) = 0;
};
