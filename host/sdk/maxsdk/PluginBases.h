#pragma once
// Base classes of plug-in kinds that are not scene objects: scene exporters,
// utility panels and global utility plug-ins.
#include "maxsdk/BaseTypes.h"
#include "maxsdk/Strings.h"

class Interface;

// What the host passes to an exporter besides its core interface.
class ZYHOST_API ExpInterface {
public:
    virtual ~ExpInterface() = default;
};

constexpr DWORD SCENE_EXPORT_SELECTED = 1;

class ZYHOST_API SceneExport {
public:
    virtual ~SceneExport() = default;
    virtual int ExtCount() = 0;
    virtual const MCHAR* Ext(int n) = 0;
    virtual const MCHAR* LongDesc() = 0;
    virtual const MCHAR* ShortDesc() = 0;
    virtual const MCHAR* AuthorName() = 0;
    virtual const MCHAR* CopyrightMessage() = 0;
    virtual const MCHAR* OtherMessage1() = 0;
    virtual const MCHAR* OtherMessage2() = 0;
    virtual unsigned int Version() = 0;
    virtual void ShowAbout(HWND hWnd) = 0;
    // Non-zero when the export ran (or failed on its own terms); 0 when refused.
    virtual int DoExport(const MCHAR* name, ExpInterface* ei, Interface* i, BOOL suppressPrompts = FALSE,
                         DWORD options = 0) = 0;
    virtual BOOL SupportsOptions(int ext, DWORD options) { return FALSE; }
    virtual void DeleteThis() { delete this; }
};

// The utility panel's side of a utility plug-in.
class ZYHOST_API IUtil {
public:
    virtual ~IUtil() = default;
    virtual void CloseUtility() = 0;
};

class ZYHOST_API UtilityObj {
public:
    virtual ~UtilityObj() = default;
    virtual void BeginEditParams(Interface* ip, IUtil* iu) = 0;
    virtual void EndEditParams(Interface* ip, IUtil* iu) = 0;
    virtual void DeleteThis() = 0;
};

// Global utility plug-ins are started once when the host starts.
constexpr DWORD GUPRESULT_KEEP = 0x00;
constexpr DWORD GUPRESULT_NOKEEP = 0x01;
constexpr DWORD GUPRESULT_ABORT = 0x03;

class ZYHOST_API GUP {
public:
    virtual ~GUP() = default;
    virtual DWORD Start() = 0;
    virtual void Stop() = 0;
    virtual void DeleteThis() { delete this; }
    Interface* Max();
};
