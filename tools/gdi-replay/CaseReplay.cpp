#include "tools/gdi-replay/CaseReplay.h"

#include "platform/gdi/Gdi.h"

#include <array>
#include <vector>

namespace sorrel::gdireplay {

using namespace sorrel::gdi;

namespace {

class CaseRun {
public:
    explicit CaseRun(const Case& c)
        : m_surface(c.width, c.height, c.background)
        , m_dc(CreateSurfaceDC(m_surface))
    {
        m_stock_pen = HPEN(GetStockObject(BLACK_PEN));
    }

    ~CaseRun()
    {
        HGDIOBJ pen = SelectObject(m_dc, GetStockObject(BLACK_PEN));
        if (pen != HGDIOBJ(m_stock_pen))
            DeleteObject(pen);
        for (HRGN& region : m_slots) {
            if (region)
                DeleteObject(region);
        }
        DeleteDC(m_dc);
    }
    CaseRun(const CaseRun&) = delete;
    CaseRun& operator=(const CaseRun&) = delete;

    void run(const Command& command);
    Surface take() { return std::move(m_surface); }

private:
    void set_slot(int64_t slot, HRGN region)
    {
        HRGN& target = m_slots[size_t(slot)];
        if (target)
            DeleteObject(target);
        target = region;
    }
    std::vector<POINT> points(const std::vector<int64_t>& args, size_t first) const
    {
        std::vector<POINT> result;
        for (size_t i = first; i + 1 < args.size(); i += 2)
            result.push_back({LONG(args[i]), LONG(args[i + 1])});
        return result;
    }
    // The source of a block transfer: a copy of the surface as it is before the transfer.
    template<class F> void with_snapshot(F&& f)
    {
        Surface copy = m_surface;
        HDC source = CreateSurfaceDC(copy);
        f(source);
        DeleteDC(source);
    }

    Surface m_surface;
    HDC m_dc;
    HPEN m_stock_pen;
    std::array<HRGN, 10> m_slots {};
};

void CaseRun::run(const Command& command)
{
    const std::vector<int64_t>& a = command.args;
    auto i = [&](size_t k) { return int(a[k]); };
    auto c = [&](size_t k) { return COLORREF(a[k]); };
    using K = Command::Kind;
    switch (command.kind) {
    case K::Pen: {
        HGDIOBJ old = SelectObject(m_dc, CreatePen(PS_SOLID, 1, c(0)));
        if (old != HGDIOBJ(m_stock_pen))
            DeleteObject(old);
        break;
    }
    case K::MoveTo:
        MoveToEx(m_dc, i(0), i(1), nullptr);
        break;
    case K::LineTo:
        LineTo(m_dc, i(0), i(1));
        break;
    case K::Pixel:
        SetPixelV(m_dc, i(0), i(1), c(2));
        break;
    case K::Fill:
    case K::Frame: {
        RECT r {i(0), i(1), i(2), i(3)};
        HBRUSH brush = CreateSolidBrush(c(4));
        if (command.kind == K::Fill)
            FillRect(m_dc, &r, brush);
        else
            FrameRect(m_dc, &r, brush);
        DeleteObject(brush);
        break;
    }
    case K::Focus: {
        RECT r {i(0), i(1), i(2), i(3)};
        DrawFocusRect(m_dc, &r);
        break;
    }
    case K::Polygon: {
        std::vector<POINT> p = points(a, 0);
        HGDIOBJ old = SelectObject(m_dc, GetStockObject(NULL_BRUSH));
        Polygon(m_dc, p.data(), int(p.size()));
        SelectObject(m_dc, old);
        break;
    }
    case K::Gradient: {
        auto vertex = [](int x, int y, COLORREF color) {
            return TRIVERTEX {x, y, COLOR16(GetRValue(color) << 8), COLOR16(GetGValue(color) << 8),
                COLOR16(GetBValue(color) << 8), 0};
        };
        TRIVERTEX v[2] {vertex(i(0), i(1), c(2)), vertex(i(3), i(4), c(5))};
        GRADIENT_RECT mesh {0, 1};
        GradientFill(m_dc, v, 2, &mesh, 1, a[6] == 0 ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
        break;
    }
    case K::RegionRect:
        set_slot(a[0], CreateRectRgn(i(1), i(2), i(3), i(4)));
        break;
    case K::RegionPolygon: {
        std::vector<POINT> p = points(a, 1);
        set_slot(a[0], CreatePolygonRgn(p.data(), int(p.size()), WINDING));
        break;
    }
    case K::RegionDiff:
        CombineRgn(m_slots[size_t(a[0])], m_slots[size_t(a[1])], m_slots[size_t(a[2])], RGN_DIFF);
        break;
    case K::RegionFill: {
        HBRUSH brush = CreateSolidBrush(c(1));
        FillRgn(m_dc, m_slots[size_t(a[0])], brush);
        DeleteObject(brush);
        break;
    }
    case K::Blt:
        with_snapshot([&](HDC source) { BitBlt(m_dc, i(0), i(1), i(2), i(3), source, i(4), i(5), SRCCOPY); });
        break;
    case K::Stretch:
        with_snapshot([&](HDC source) {
            StretchBlt(m_dc, i(0), i(1), i(2), i(3), source, i(4), i(5), i(6), i(7), SRCCOPY);
        });
        break;
    }
}

} // namespace

Surface replay_case(const Case& c)
{
    CaseRun run(c);
    for (const Command& command : c.commands)
        run.run(command);
    return run.take();
}

} // namespace sorrel::gdireplay
