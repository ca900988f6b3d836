#pragma once
// The process-wide argument manager: the argument currently being animated.
class IArgBasedManager {
public:
    virtual ~IArgBasedManager() = default;
    virtual int GetCurrentArgument() = 0;
    virtual void SetCurrentArgument(int argument) = 0;
};
