#include "io/INodeWriter.h"

#include "zy/ExtException.h"

namespace model {

#define ZY_NO_WRITER(Class)                                                                                  \
    void INodeWriter::visit##Class(Class&)                                                                    \
    {                                                                                                         \
        ZY_THROW("No writer for record model::" #Class ".");                                                  \
    }

ZY_NO_WRITER(Connector)
ZY_NO_WRITER(LightNode)
ZY_NO_WRITER(NumberNode)
ZY_NO_WRITER(SkinNode)
ZY_NO_WRITER(RenderNode)
ZY_NO_WRITER(AnimatedFakeSpotLightsNode)
ZY_NO_WRITER(FakeSpotLightsNode)
ZY_NO_WRITER(AnimatedFakeOmniLightsNode)
ZY_NO_WRITER(FakeOmniLightsNode)
ZY_NO_WRITER(BaseRenderNode)
ZY_NO_WRITER(SegmentsNode)
ZY_NO_WRITER(TreeShellNode)
ZY_NO_WRITER(ShellNode)
ZY_NO_WRITER(BaseShellNode)
ZY_NO_WRITER(LodNode)
ZY_NO_WRITER(IKBone)
ZY_NO_WRITER(Bone)
ZY_NO_WRITER(BillboardNode)
ZY_NO_WRITER(ArgVisibilityNode)
ZY_NO_WRITER(ArgAnimatedBone)
ZY_NO_WRITER(ArgAnimationNode)

#undef ZY_NO_WRITER

} // namespace model
