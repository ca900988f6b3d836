#pragma once
// The argument-keyed controllers' interface. The controllers hold one track
// controller per animation argument plus a static controller carrying the base
// value. A caller recognises the six controller kinds by class identifier and then
// uses the object through this interface (it has no interface identifier).
#include "maxsdk/Control.h"

class IArgLinkCtrl : public Control {
public:
    // Evaluates the static controller at time 0 into value (empty validity).
    virtual void GetStaticValue(void* value, GetSetMethod method) = 0;
    // Sets track index at t so that, relative to the static value, it carries value.
    virtual void SetTrackValue(int index, TimeValue t, void* value) = 0;
    virtual void SetDisabled(bool disabled) = 0;
    virtual bool IsDisabled() = 0;
    virtual int NumTracks() = 0;
    // Null when index is out of range.
    virtual Control* GetTrackController(int index) = 0;
    // Returns the new track's index, -1 for a null controller.
    virtual int AppendTrack(Control* controller) = 0;
    virtual int AppendNewTrack() = 0;
    virtual bool RemoveTrack(int index) = 0;
    virtual int GetActiveTrack() = 0;
    virtual void SetActiveTrack(int index) = 0;
    // Empty when index is out of range.
    virtual WStr GetTrackName(int index) = 0;
    // -1 when index is out of range.
    virtual int GetTrackArgument(int index) = 0;
    virtual bool SetTrackName(int index, const WStr& name) = 0;
    virtual bool SetTrackArgument(int index, int argument) = 0;
    virtual void ActivateCurrentArgument() = 0;
    virtual bool RemoveCurrentArgument() = 0;

    // Supplied by each controller kind.
    virtual IArgLinkCtrl* CreateSameKind() = 0;
    virtual Control* CreateDefaultTrackController() = 0;
};
