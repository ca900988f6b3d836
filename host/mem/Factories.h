#pragma once
// Constructors of the in-memory host's own classes (also reachable through the
// class directory by class id).
#include "maxsdk/Control.h"
#include "maxsdk/Light.h"
#include "maxsdk/Mtl.h"
#include "maxsdk/Object.h"

ZYHOST_API Object* NewDummyObject();
ZYHOST_API Object* NewPointHelperObject();
ZYHOST_API Object* NewBoneObject();
ZYHOST_API Object* NewTargetObject();
ZYHOST_API Modifier* NewEditMeshModifier();
ZYHOST_API Modifier* NewSkinModifier();

// Omni, target spot, free spot or directional light, by class id (null otherwise).
ZYHOST_API GenLight* NewStandardLight(Class_ID classId);

ZYHOST_API StdMat2* NewStandardMaterial();
ZYHOST_API MultiMtl* NewMultiMaterial(int numSubs = 0);
// The deck material: parameter block 0 holds bitmap parameters "BaseColorTiledMap",
// "NormalTiledMap", "RoughnessMetallicTiledMap", "BaseColorMap",
// "RoughnessMetallicMap", "RainMaskMap", "DamageMask", "DamageMap".
ZYHOST_API Mtl* NewDeckMaterial();
ZYHOST_API BitmapTex* NewBitmapTex();
ZYHOST_API StdUVGen* NewStdUVGen();
ZYHOST_API Shader* NewBlinnShader();
