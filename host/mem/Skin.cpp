// The Skin modifier: bones and per-node vertex weights. It keeps the weights only;
// the in-memory host does not deform the skinned mesh.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "maxsdk/INode.h"
#include "maxsdk/Skin.h"
#include "mem/Factories.h"

namespace {

class SkinContext : public ISkinContextData {
public:
    std::vector<std::vector<std::pair<int, float>>> weights; // per vertex: (bone index, weight)

    int GetNumPoints() override { return int(weights.size()); }
    int GetNumAssignedBones(int v) override { return Valid(v) ? int(weights[std::size_t(v)].size()) : 0; }
    int GetAssignedBone(int v, int a) override {
        return Valid(v) && a >= 0 && a < GetNumAssignedBones(v) ? weights[std::size_t(v)][std::size_t(a)].first : -1;
    }
    float GetBoneWeight(int v, int a) override {
        return Valid(v) && a >= 0 && a < GetNumAssignedBones(v) ? weights[std::size_t(v)][std::size_t(a)].second : 0.f;
    }

private:
    bool Valid(int v) const { return v >= 0 && v < int(weights.size()); }
};

class SkinModifier : public Modifier, public ISkin, public ISkinImportData {
public:
    Class_ID ClassID() override { return SKIN_CLASSID; }
    void GetClassName(MSTR& s) override { s = _M("Skin"); }
    const MCHAR* GetObjectName() override { return _M("Skin"); }

    void* GetInterface(ULONG id) override {
        if (id == I_SKIN) return static_cast<ISkin*>(this);
        if (id == I_SKINIMPORTDATA) return static_cast<ISkinImportData*>(this);
        return Modifier::GetInterface(id);
    }
    void ReleaseInterface(ULONG, void*) override {}

    // ISkin
    int GetNumBones() override { return int(bones_.size()); }
    INode* GetBone(int i) override { return i >= 0 && i < GetNumBones() ? bones_[std::size_t(i)] : nullptr; }
    ISkinContextData* GetContextInterface(INode* node) override {
        auto it = contexts_.find(node);
        return it == contexts_.end() ? nullptr : it->second.get();
    }

    // ISkinImportData
    bool AddBoneEx(INode* bone, bool) override {
        if (!bone || std::find(bones_.begin(), bones_.end(), bone) != bones_.end()) return false;
        bones_.push_back(nullptr);
        ReplaceReference(int(bones_.size()) - 1, bone);
        return true;
    }
    bool AddWeights(INode* skinNode, int vertex, const std::vector<INode*>& bones,
                    const std::vector<float>& weights) override {
        if (!skinNode || vertex < 0 || bones.size() != weights.size()) return false;
        std::vector<std::pair<int, float>> entry;
        for (std::size_t i = 0; i < bones.size(); ++i) {
            auto it = std::find(bones_.begin(), bones_.end(), bones[i]);
            if (it == bones_.end()) return false;
            entry.emplace_back(int(it - bones_.begin()), weights[i]);
        }
        auto& ctx = contexts_[skinNode];
        if (!ctx) ctx = std::make_unique<SkinContext>();
        if (int(ctx->weights.size()) <= vertex) ctx->weights.resize(std::size_t(vertex) + 1);
        ctx->weights[std::size_t(vertex)] = std::move(entry);
        return true;
    }

    int NumRefs() override { return int(bones_.size()); }
    RefTargetHandle GetReference(int i) override { return GetBone(i); }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* s = new SkinModifier();
        for (INode* b : bones_) s->AddBoneEx(b, false);
        for (const auto& [node, ctx] : contexts_) s->contexts_[node] = std::make_unique<SkinContext>(*ctx);
        BaseClone(this, s, remap);
        return s;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i >= 0 && i < NumRefs()) bones_[std::size_t(i)] = static_cast<INode*>(rtarg);
    }

private:
    std::vector<INode*> bones_;
    std::map<INode*, std::unique_ptr<SkinContext>> contexts_;
};

} // namespace

Modifier* NewSkinModifier() { return new SkinModifier(); }
