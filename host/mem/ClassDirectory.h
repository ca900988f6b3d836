#pragma once
// The in-memory class directory; the host's own classes are registered at start.
#include <functional>
#include <memory>
#include <vector>

#include "maxsdk/ClassDesc.h"

class ZYHOST_API MemClassDirectory : public ClassDirectory {
public:
    MemClassDirectory();
    ~MemClassDirectory() override;
    int Count() override { return int(classes_.size()); }
    ClassDesc* Get(int i) override;
    ClassDesc* FindClass(SClass_ID superID, Class_ID classID) override;
    ClassDesc* FindClassByName(const MSTR& name) override;
    bool AddClass(ClassDesc* cd) override;
    void RemoveClass(ClassDesc* cd) override;

private:
    std::vector<ClassDesc*> classes_;
    std::vector<std::unique_ptr<ClassDesc>> builtins_;
};
