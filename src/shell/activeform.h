#pragma once
// The window in front that shared code paints: the link lamp after a link error, the
// supply lamps, V-minus options, tracking box and VCC list. Windows that carry these
// controls implement the accessors; a window that lacks one returns null and the
// painter leaves it alone.
class Lamp;
class QComboBox;
class QCheckBox;
class QRadioButton;

class DeviceFormControls {
public:
    virtual ~DeviceFormControls() = default;
    virtual Lamp* ShpAttach() { return nullptr; }
    virtual Lamp* ShpVCCon() { return nullptr; }
    virtual Lamp* ShVM() { return nullptr; }
    virtual QRadioButton* OptVM(int /*index*/) { return nullptr; }
    virtual QComboBox* CboVCC() { return nullptr; }
    virtual QCheckBox* ChkTrack() { return nullptr; }
    // Both supplies shown off, lamps black, without running a handler: a fresh board came up
    // with them off and nothing is to be switched.
    virtual void showSuppliesOff() {}
};
