// Triangle meshes and their render normals.
#include "maxsdk/Mesh.h"

#include <cmath>
#include <stdexcept>

struct Mesh::Data {
    std::vector<Point3> verts;
    std::vector<Face> faces;
    std::vector<MeshMap> maps{std::size_t(NUM_HIDDENMAPS)}; // [0] = channel -2, [1] = -1, [2] = 0, ...
    std::vector<Point3> faceNormals;
    std::vector<RVertex> rverts;
    std::vector<RNormal> clusterNormals; // storage behind RVertex::ern
    std::vector<Point3> specified;       // per vertex, valid where hasSpecified
    std::vector<bool> hasSpecified;
    bool normalsValid = false;
    Point3 noNormal; // what getFaceNormal hands out for a face out of range
};

void MeshMap::setNumVerts(int n) {
    tv.resize(std::size_t(n > 0 ? n : 0));
    vnum = int(tv.size());
}

void MeshMap::setNumFaces(int n) {
    tf.resize(std::size_t(n > 0 ? n : 0));
    fnum = int(tf.size());
}

Mesh::Mesh() : d_(std::make_unique<Data>()) { SyncPointers(); }

Mesh::Mesh(const Mesh& other) : d_(std::make_unique<Data>(*other.d_)) {
    d_->normalsValid = false; // the copied ern pointers point into the other mesh
    SyncPointers();
}

Mesh& Mesh::operator=(const Mesh& other) {
    if (this != &other) {
        *d_ = *other.d_;
        d_->normalsValid = false;
        SyncPointers();
    }
    return *this;
}

Mesh::~Mesh() = default;

void Mesh::SyncPointers() {
    numVerts = int(d_->verts.size());
    numFaces = int(d_->faces.size());
    verts = d_->verts.empty() ? nullptr : d_->verts.data();
    faces = d_->faces.empty() ? nullptr : d_->faces.data();
}

BOOL Mesh::setNumVerts(int n) {
    if (n < 0) return FALSE;
    d_->verts.resize(std::size_t(n));
    d_->specified.resize(std::size_t(n));
    d_->hasSpecified.resize(std::size_t(n), false);
    d_->normalsValid = false;
    SyncPointers();
    return TRUE;
}

BOOL Mesh::setNumFaces(int n) {
    if (n < 0) return FALSE;
    d_->faces.resize(std::size_t(n));
    for (MeshMap& m : d_->maps)
        if (m.fnum > 0) m.setNumFaces(n);
    d_->normalsValid = false;
    SyncPointers();
    return TRUE;
}

void Mesh::setVert(int i, const Point3& p) {
    verts[i] = p;
    d_->normalsValid = false;
}

int Mesh::getNumMaps() const { return int(d_->maps.size()) - NUM_HIDDENMAPS; }

void Mesh::setNumMaps(int n) {
    if (n < 0) n = 0;
    if (n > MAX_MESHMAPS) n = MAX_MESHMAPS;
    d_->maps.resize(std::size_t(n + NUM_HIDDENMAPS));
}

MeshMap* Mesh::MapPtr(int mp) {
    if (mp < -NUM_HIDDENMAPS || mp >= getNumMaps()) return nullptr;
    return &d_->maps[std::size_t(mp + NUM_HIDDENMAPS)];
}

MeshMap& Mesh::Map(int mp) {
    MeshMap* m = MapPtr(mp);
    if (!m) throw std::out_of_range("map channel out of range");
    return *m;
}

BOOL Mesh::mapSupport(int mp) const {
    if (mp < -NUM_HIDDENMAPS || mp >= getNumMaps()) return FALSE;
    return d_->maps[std::size_t(mp + NUM_HIDDENMAPS)].fnum > 0 ? TRUE : FALSE;
}

void Mesh::setMapSupport(int mp, BOOL support) {
    if (mp < -NUM_HIDDENMAPS || mp >= MAX_MESHMAPS) return;
    if (mp >= getNumMaps()) {
        if (!support) return;
        setNumMaps(mp + 1);
    }
    MeshMap& m = Map(mp);
    if (support) {
        m.setNumFaces(numFaces);
    } else {
        m.setNumFaces(0);
        m.setNumVerts(0);
    }
}

int Mesh::getNumMapVerts(int mp) const {
    if (mp < -NUM_HIDDENMAPS || mp >= getNumMaps()) return 0;
    return d_->maps[std::size_t(mp + NUM_HIDDENMAPS)].vnum;
}

UVVert* Mesh::mapVerts(int mp) {
    MeshMap* m = MapPtr(mp);
    return m && !m->tv.empty() ? m->tv.data() : nullptr;
}

TVFace* Mesh::mapFaces(int mp) {
    MeshMap* m = MapPtr(mp);
    return m && !m->tf.empty() ? m->tf.data() : nullptr;
}

void Mesh::setNumMapVerts(int mp, int n) {
    if (MeshMap* m = MapPtr(mp)) m->setNumVerts(n);
}

void Mesh::setNumMapFaces(int mp, int n) {
    if (MeshMap* m = MapPtr(mp)) m->setNumFaces(n);
}

// Faces that name a vertex the mesh lacks (malformed input) have no normal or centre.
static bool FaceValid(const Mesh& m, int face) {
    if (face < 0 || face >= m.numFaces) return false;
    const Face& f = m.faces[face];
    return int(f.v[0]) < m.numVerts && int(f.v[1]) < m.numVerts && int(f.v[2]) < m.numVerts;
}

Point3 Mesh::FaceNormal(int face, bool normalize) const {
    if (!FaceValid(*this, face)) return Point3();
    const Face& f = d_->faces[std::size_t(face)];
    const Point3& a = d_->verts[f.v[0]];
    Point3 n = CrossProd(d_->verts[f.v[1]] - a, d_->verts[f.v[2]] - a);
    return normalize ? n.Normalize() : n;
}

Point3 Mesh::FaceCenter(int face) const {
    if (!FaceValid(*this, face)) return Point3();
    const Face& f = d_->faces[std::size_t(face)];
    return (d_->verts[f.v[0]] + d_->verts[f.v[1]] + d_->verts[f.v[2]]) / 3.f;
}

Box3 Mesh::getBoundingBox(const Matrix3* tm) const {
    Box3 box;
    for (const Point3& p : d_->verts) box += tm ? p * *tm : p;
    return box;
}

void Mesh::InvalidateGeomCache() { d_->normalsValid = false; }

void Mesh::buildRenderNormals() {
    if (!d_->normalsValid) buildNormals();
}

namespace {

// Union-find over the faces around one vertex.
int Find(std::vector<int>& parent, int i) {
    while (parent[std::size_t(i)] != i) {
        parent[std::size_t(i)] = parent[std::size_t(parent[std::size_t(i)])];
        i = parent[std::size_t(i)];
    }
    return i;
}

float CornerAngle(const Point3& p, const Point3& a, const Point3& b) {
    Point3 u = (a - p).Normalize(), v = (b - p).Normalize();
    float c = DotProd(u, v);
    c = c > 1.f ? 1.f : (c < -1.f ? -1.f : c);
    return std::acos(c);
}

} // namespace

void Mesh::buildNormals() {
    Data& d = *d_;
    const int nv = numVerts, nf = numFaces;
    d.faceNormals.assign(std::size_t(nf), Point3());
    for (int f = 0; f < nf; ++f) d.faceNormals[std::size_t(f)] = FaceNormal(f, true);

    // Faces around each vertex (counting sort), with the face's angle at the vertex.
    std::vector<int> start(std::size_t(nv) + 1, 0);
    for (int f = 0; f < nf; ++f)
        for (int c = 0; c < 3; ++c)
            if (int(d.faces[std::size_t(f)].v[c]) < nv) ++start[d.faces[std::size_t(f)].v[c] + 1];
    for (int v = 0; v < nv; ++v) start[std::size_t(v) + 1] += start[std::size_t(v)];
    std::vector<int> fill(start.begin(), start.end() - 1);
    std::vector<int> around(std::size_t(start.back()));
    std::vector<float> angle(std::size_t(start.back()));
    for (int f = 0; f < nf; ++f) {
        const Face& face = d.faces[std::size_t(f)];
        for (int c = 0; c < 3; ++c) {
            int v = int(face.v[c]);
            if (v >= nv || int(face.v[(c + 1) % 3]) >= nv || int(face.v[(c + 2) % 3]) >= nv) continue;
            int slot = fill[std::size_t(v)]++;
            around[std::size_t(slot)] = f;
            angle[std::size_t(slot)] =
                CornerAngle(d.verts[std::size_t(v)], d.verts[face.v[(c + 1) % 3]], d.verts[face.v[(c + 2) % 3]]);
        }
    }

    d.rverts.assign(std::size_t(nv), RVertex());
    d.clusterNormals.clear();
    std::vector<std::size_t> ernStart(std::size_t(nv), 0);
    std::vector<int> parent, clusterOf;
    for (int v = 0; v < nv; ++v) {
        RVertex& rv = d.rverts[std::size_t(v)];
        if (d.hasSpecified[std::size_t(v)]) {
            rv.rFlags = SPECIFIED_NORMAL | 1;
            rv.rn = RNormal(d.specified[std::size_t(v)].Normalize(), 0);
            continue;
        }
        const int b = start[std::size_t(v)], e = start[std::size_t(v) + 1];
        // Faces that share a smoothing-group bit join one cluster (transitively).
        parent.resize(std::size_t(e - b));
        for (int i = 0; i < e - b; ++i) parent[std::size_t(i)] = i;
        int firstWithBit[32];
        for (int& x : firstWithBit) x = -1;
        for (int i = 0; i < e - b; ++i) {
            DWORD g = d.faces[std::size_t(around[std::size_t(b + i)])].smGroup;
            for (int bit = 0; g; ++bit, g >>= 1) {
                if (!(g & 1)) continue;
                if (firstWithBit[bit] < 0) firstWithBit[bit] = i;
                else parent[std::size_t(Find(parent, i))] = Find(parent, firstWithBit[bit]);
            }
        }
        // One render normal per cluster, in the order of the clusters' first faces:
        // the corner-angle weighted mean of the cluster's face normals.
        const std::size_t base = d.clusterNormals.size();
        ernStart[std::size_t(v)] = base;
        clusterOf.assign(std::size_t(e - b), -1);
        int count = 0;
        for (int i = 0; i < e - b; ++i) {
            int f = around[std::size_t(b + i)];
            DWORD g = d.faces[std::size_t(f)].smGroup;
            if (g == 0) continue;
            int r = Find(parent, i);
            if (clusterOf[std::size_t(r)] < 0) {
                clusterOf[std::size_t(r)] = count++;
                d.clusterNormals.emplace_back(Point3(), 0);
            }
            RNormal& rn = d.clusterNormals[base + std::size_t(clusterOf[std::size_t(r)])];
            rn.setNormal(rn.getNormal() + d.faceNormals[std::size_t(f)] * angle[std::size_t(b + i)]);
            rn.setSmGroup(rn.getSmGroup() | g);
        }
        for (int c = 0; c < count; ++c) {
            RNormal& rn = d.clusterNormals[base + std::size_t(c)];
            rn.setNormal(rn.getNormal().Normalize());
        }
        rv.rFlags = DWORD(count) & NORCT_MASK;
        if (count == 1) {
            rv.rn = d.clusterNormals.back();
            d.clusterNormals.pop_back();
        }
    }
    // Point the multi-normal vertices into the finished storage.
    for (int v = 0; v < nv; ++v) {
        RVertex& rv = d.rverts[std::size_t(v)];
        if (!rv.HasSpecifiedNormal() && rv.NormalCount() > 1) rv.ern = &d.clusterNormals[ernStart[std::size_t(v)]];
    }
    d.normalsValid = true;
}

RVertex* Mesh::getRVertPtr(int vert) {
    buildRenderNormals();
    if (vert < 0 || vert >= numVerts) return nullptr;
    return &d_->rverts[std::size_t(vert)];
}

void Mesh::setNormal(int vert, const Point3& n) {
    if (vert < 0 || vert >= numVerts) return;
    d_->specified[std::size_t(vert)] = n;
    d_->hasSpecified[std::size_t(vert)] = true;
    d_->normalsValid = false;
}

void Mesh::clearSpecifiedNormals() {
    d_->hasSpecified.assign(d_->hasSpecified.size(), false);
    d_->normalsValid = false;
}

Point3& Mesh::getFaceNormal(int face) {
    buildRenderNormals();
    if (face < 0 || face >= numFaces) {
        d_->noNormal = Point3();
        return d_->noNormal;
    }
    return d_->faceNormals[std::size_t(face)];
}
