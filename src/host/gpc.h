#pragma once

// Polygon boolean operations with the General Polygon Clipper's public interface: the
// layout of the structures and the three entry points are those the published library
// offers, so callers written against it work unchanged. The work is done by Clipper
// (libpolyclipping); this file only converts between the two representations.
//
// Contours and holes. Input contours combine by the even-odd rule, as in the published
// library: a contour lying inside another one cuts a hole whatever its orientation, and
// the input hole flags are not consulted. Every result contour carries a hole flag:
// 0 for an outer boundary, 1 for a hole. Result orientation is not specified; callers
// that care re-orient.
//
// Integer scaling. Clipper computes on 64-bit integers. Each call picks one scale, a power
// of two, from the largest absolute coordinate M of both inputs, so that M maps just below
// 2^52. Multiplying by a power of two is exact, so the grid the coordinates are rounded to
// is the spacing of doubles near M (about M * 2.2e-16): a 1 m outline keeps features down
// to about 1e-15 m, and a 1 um hole in a 1 m square survives with all its corners. Results
// stay far inside Clipper's range (about 4.6e18), whatever the magnitude of the input, so
// huge coordinates are scaled down rather than rejected.
//
// Bad input. Null pointers, contours with fewer than three vertices, negative counts and
// inputs holding a NaN or infinite coordinate never crash: degenerate contours are ignored,
// and a non-finite coordinate anywhere in either input gives an empty result. A
// self-intersecting contour is resolved by the even-odd rule.
//
// Memory. Every array in a gpc_polygon is allocated with malloc; gpc_free_polygon releases
// the arrays of a polygon filled by gpc_polygon_clip or gpc_add_contour (or built by the
// caller with malloc) and leaves it empty.

/// One vertex of a contour.
struct gpc_vertex
{
    double x;
    double y;
};

/// One closed contour: `num_vertices` entries in `vertex`, no repeated end point.
struct gpc_vertex_list
{
    int num_vertices;
    gpc_vertex* vertex;
};

/// A set of contours: `num_contours` entries in `contour`, and in `hole` a flag per contour
/// (1 for a hole, 0 for an outer boundary).
struct gpc_polygon
{
    int num_contours;
    int* hole;
    gpc_vertex_list* contour;
};

/// The boolean operations, with the published library's numbering.
enum gpc_op
{
    GPC_DIFF, ///< subject minus clip
    GPC_INT, ///< intersection
    GPC_XOR, ///< exclusive or
    GPC_UNION ///< union
};

/// Fills `result` with `subject` `op` `clip`. `result` is overwritten without being freed
/// first; release it with gpc_free_polygon. A null `result` does nothing.
void gpc_polygon_clip(gpc_op op, gpc_polygon* subject, gpc_polygon* clip, gpc_polygon* result);

/// Releases the arrays of `polygon` and leaves it empty; null is ignored.
void gpc_free_polygon(gpc_polygon* polygon);

/// Appends a copy of `contour` to `polygon` with the given hole flag (non-zero for a hole).
void gpc_add_contour(gpc_polygon* polygon, gpc_vertex_list* contour, int hole);
