#pragma once
// Triangle meshes: vertices, faces with smoothing groups and material ids, map
// channels (1 ... 99 and the hidden channels -1 and -2, channel 0 is vertex colour)
// and render vertices with their normals.
#include <memory>
#include <vector>

#include "maxsdk/Box3.h"
#include "maxsdk/BaseTypes.h"

constexpr int MAX_MESHMAPS = 100;
constexpr int NUM_HIDDENMAPS = 2;
constexpr int MAP_SHADING = -1;
constexpr int MAP_ALPHA = -2;

using UVVert = Point3;

class ZYHOST_API Face {
public:
    DWORD v[3] = {0, 0, 0};
    DWORD smGroup = 0; // smoothing-group bit mask; 0 = faceted
    DWORD flags = 0;   // the material id lives in the high 16 bits
    void setVerts(int a, int b, int c) { v[0] = DWORD(a); v[1] = DWORD(b); v[2] = DWORD(c); }
    void setSmGroup(DWORD g) { smGroup = g; }
    DWORD getSmGroup() const { return smGroup; }
    void setMatID(int id) { flags = (flags & 0xffff) | (DWORD(id & 0xffff) << 16); }
    int getMatID() const { return int(flags >> 16); }
    DWORD getVert(int i) const { return v[i]; }
};

class TVFace {
public:
    DWORD t[3] = {0, 0, 0};
    void setTVerts(int a, int b, int c) { t[0] = DWORD(a); t[1] = DWORD(b); t[2] = DWORD(c); }
    DWORD getTVert(int i) const { return t[i]; }
};

// One map channel: texture vertices and one texture face per mesh face.
class ZYHOST_API MeshMap {
public:
    std::vector<UVVert> tv;
    std::vector<TVFace> tf;
    int vnum = 0;
    int fnum = 0;
    bool IsUsed() const { return fnum > 0; }
    void setNumVerts(int n);
    void setNumFaces(int n);
};

// A render normal: the normal of one smoothing-group cluster of faces around a vertex.
class RNormal {
public:
    RNormal() = default;
    RNormal(const Point3& n, DWORD smGroup) : normal_(n), smGroup_(smGroup) {}
    const Point3& getNormal() const { return normal_; }
    void setNormal(const Point3& n) { normal_ = n; }
    DWORD getSmGroup() const { return smGroup_; }
    void setSmGroup(DWORD g) { smGroup_ = g; }

private:
    Point3 normal_;
    DWORD smGroup_ = 0;
};

// rFlags: the low bits hold the number of normals; SPECIFIED_NORMAL marks a normal
// set explicitly (it wins over the smoothing groups).
constexpr DWORD NORCT_MASK = 0x000000ff;
constexpr DWORD SPECIFIED_NORMAL = 0x00004000;

// With one normal (or a specified one) it is rn; with several, ern[0 .. count-1].
class RVertex {
public:
    DWORD rFlags = 0;
    RNormal rn;
    RNormal* ern = nullptr;
    int NormalCount() const { return int(rFlags & NORCT_MASK); }
    bool HasSpecifiedNormal() const { return (rFlags & SPECIFIED_NORMAL) != 0; }
};

class ZYHOST_API Mesh {
public:
    Mesh();
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh& other);
    ~Mesh();

    BOOL setNumVerts(int n);
    BOOL setNumFaces(int n);
    int getNumVerts() const { return numVerts; }
    int getNumFaces() const { return numFaces; }
    Point3& getVert(int i) { return verts[i]; }
    const Point3& getVert(int i) const { return verts[i]; }
    // Sets a vertex; the render normals are rebuilt on next use.
    void setVert(int i, const Point3& p);

    // Map channels. getNumMaps is one more than the highest channel supported.
    int getNumMaps() const;
    void setNumMaps(int n);
    BOOL mapSupport(int mp) const;
    void setMapSupport(int mp, BOOL support = TRUE);
    // Channel mp (negative for the hidden channels); null outside the valid range.
    MeshMap* MapPtr(int mp);
    MeshMap& Map(int mp);
    int getNumMapVerts(int mp) const;
    UVVert* mapVerts(int mp);
    TVFace* mapFaces(int mp);
    void setNumMapVerts(int mp, int n);
    void setNumMapFaces(int mp, int n);

    // Normals. buildNormals computes face normals and the render normals from the
    // smoothing groups; buildRenderNormals does so only when they are stale.
    void buildNormals();
    void buildRenderNormals();
    void InvalidateGeomCache();
    RVertex* getRVertPtr(int vert);
    RVertex& getRVert(int vert) { return *getRVertPtr(vert); }
    // Sets an explicit normal of a vertex; it wins over the smoothing groups.
    void setNormal(int vert, const Point3& n);
    void clearSpecifiedNormals();
    // Unit face normal from the last buildNormals.
    Point3& getFaceNormal(int face);
    // The face's normal computed now (unit length when normalize).
    Point3 FaceNormal(int face, bool normalize = false) const;
    Point3 FaceCenter(int face) const;
    Box3 getBoundingBox(const Matrix3* tm = nullptr) const;

    int numVerts = 0;
    int numFaces = 0;
    Point3* verts = nullptr;
    Face* faces = nullptr;

private:
    struct Data;
    std::unique_ptr<Data> d_;
    void SyncPointers();
};
