// Affine decomposition: polar decomposition of the 3 x 3 part into stretch and
// rotation, with the stretch split into its axis rotation and factors.
#include "maxsdk/Decomp.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

using Mat = std::array<std::array<double, 3>, 3>;

Mat Mul(const Mat& a, const Mat& b) {
    Mat r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

Mat Transpose(const Mat& a) {
    Mat r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r[i][j] = a[j][i];
    return r;
}

double Det(const Mat& a) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

// Cyclic Jacobi: a = v * diag(d) * v^T for the symmetric a; the columns of v are
// the eigenvectors.
void SymmetricEigen(Mat a, Mat& v, std::array<double, 3>& d) {
    v = Mat{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int sweep = 0; sweep < 50; ++sweep) {
        // Off-diagonal terms at the level of float noise are dropped: with equal
        // eigenvalues they would turn the eigenbasis by an arbitrary angle.
        double scale = std::fabs(a[0][0]) + std::fabs(a[1][1]) + std::fabs(a[2][2]);
        double tiny = 1e-6 * scale;
        bool rotated = false;
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (std::fabs(a[p][q]) <= tiny) continue;
                rotated = true;
                double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 3; ++k) {
                    double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
        }
        if (!rotated) break;
    }
    d = {a[0][0], a[1][1], a[2][2]};
}

Matrix3 ToMatrix3(const Mat& a) {
    Matrix3 m;
    for (int i = 0; i < 3; ++i) m.SetRow(i, Point3(a[i][0], a[i][1], a[i][2]));
    return m;
}

} // namespace

Matrix3 ScaleValue::ToMatrix() const {
    Matrix3 qm;
    q.MakeMatrix(qm);
    return Inverse(qm) * ScaleMatrix(s) * qm;
}

void ApplyScaling(Matrix3& m, const ScaleValue& v) { m = v.ToMatrix() * m; }

void decomp_affine(const Matrix3& m, AffineParts* parts) {
    parts->t = m.GetTrans();
    Mat a{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a[i][j] = m[i][j];
    double det = Det(a);
    parts->f = det < 0 ? -1.f : 1.f;
    if (det < 0)
        for (auto& row : a)
            for (double& x : row) x = -x;

    // a = S * R with S = sqrt(a * a^T) symmetric and R a rotation.
    Mat v;
    std::array<double, 3> lambda;
    SymmetricEigen(Mul(a, Transpose(a)), v, lambda);
    std::array<double, 3> k;
    for (int i = 0; i < 3; ++i) k[i] = std::sqrt(lambda[i] > 0 ? lambda[i] : 0);

    // Pick, among the signed permutations of the eigenvectors that form a rotation,
    // the one whose axis rotation is closest to the identity.
    static const int perms[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    double bestW = -1;
    Mat bestV = v;
    std::array<double, 3> bestK = k;
    for (const auto& p : perms) {
        for (int signs = 0; signs < 8; ++signs) {
            Mat c{};
            for (int col = 0; col < 3; ++col) {
                double sg = (signs >> col) & 1 ? -1.0 : 1.0;
                for (int row = 0; row < 3; ++row) c[row][col] = sg * v[row][p[col]];
            }
            if (Det(c) < 0) continue;
            Quat u(ToMatrix3(Transpose(c)));
            if (std::fabs(u.w) > bestW) {
                bestW = std::fabs(u.w);
                bestV = c;
                bestK = {k[p[0]], k[p[1]], k[p[2]]};
            }
        }
    }
    v = bestV;
    k = bestK;

    // R = S^-1 * a = v * diag(1/k) * v^T * a.
    Mat rot;
    if (k[0] > 1e-12 && k[1] > 1e-12 && k[2] > 1e-12) {
        Mat dinv{};
        for (int i = 0; i < 3; ++i) dinv[i][i] = 1 / k[i];
        rot = Mul(Mul(Mul(v, dinv), Transpose(v)), a);
    } else {
        rot = Mat{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; // degenerate: no rotation recoverable
    }
    Mat ut = Transpose(v);
    parts->u = Quat(ToMatrix3(ut));
    parts->q = Quat(ToMatrix3(rot));
    parts->k = Point3(k[0], k[1], k[2]);
}

Matrix3 ComposeAffine(const AffineParts& parts) {
    Matrix3 um, qm;
    parts.u.MakeMatrix(um);
    parts.q.MakeMatrix(qm);
    Matrix3 m = Inverse(um) * ScaleMatrix(parts.k * parts.f) * um * qm;
    m.SetTrans(parts.t);
    return m;
}
