#pragma once
// The Skin modifier's interfaces (Modifier::GetInterface(I_SKIN) / I_SKINIMPORTDATA).
#include <vector>

#include "maxsdk/HostExport.h"

class INode;

// Weights of the vertices of one skinned node.
class ZYHOST_API ISkinContextData {
public:
    virtual ~ISkinContextData() = default;
    virtual int GetNumPoints() = 0;
    virtual int GetNumAssignedBones(int vertex) = 0;
    // Index into the skin's bone list, or -1 when out of range.
    virtual int GetAssignedBone(int vertex, int assignment) = 0;
    virtual float GetBoneWeight(int vertex, int assignment) = 0;
};

class ZYHOST_API ISkin {
public:
    virtual ~ISkin() = default;
    virtual int GetNumBones() = 0;
    virtual INode* GetBone(int index) = 0;
    // The weights for one node using this modifier, or null.
    virtual ISkinContextData* GetContextInterface(INode* node) = 0;
};

class ZYHOST_API ISkinImportData {
public:
    virtual ~ISkinImportData() = default;
    virtual bool AddBoneEx(INode* bone, bool update) = 0;
    // Replaces the weights of one vertex of skinNode; bones must be in the skin.
    virtual bool AddWeights(INode* skinNode, int vertex, const std::vector<INode*>& bones,
                            const std::vector<float>& weights) = 0;
};
