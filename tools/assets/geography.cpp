// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/geography.h"

#include <algorithm>
#include <initializer_list>

namespace assets {

namespace {

// Longitude and latitude to pixels, piece by piece linear: the crowded provinces of
// the plain between the Yellow River and the Yangtze get more room than the steppe,
// the Tibetan edge and the far south.
struct Knot {
    double degrees;
    double pixels;
};
constexpr Knot kLonKnots[] = {{80.0, -130.0}, {93.5, 13.0},  {100.0, 70.0},  {105.0, 122.0}, {110.0, 181.0},
                              {113.0, 222.0}, {118.0, 297.0}, {121.0, 340.0}, {125.0, 383.0}, {135.0, 470.0},
                              {160.0, 680.0}};
constexpr Knot kLatKnots[] = {{50.0, -60.0}, {43.0, 28.0},  {40.0, 60.0},  {37.0, 103.0}, {34.0, 152.0},
                              {31.0, 198.0}, {27.0, 255.0}, {23.0, 310.0}, {17.6, 378.0}, {13.0, 425.0},
                              {5.0, 520.0}};

// Degrees to pixels (forward) or back. The knots reach well past the picture on
// every side, so every point of the map falls between two of them.
template <std::size_t N>
double Interpolate(const Knot (&knots)[N], double value, bool forward)
{
    auto from = [&](std::size_t i) { return forward ? knots[i].degrees : knots[i].pixels; };
    auto to = [&](std::size_t i) { return forward ? knots[i].pixels : knots[i].degrees; };
    std::size_t i = 0;
    while (i + 2 < N && (value - from(i)) * (value - from(i + 1)) > 0)
        ++i;
    const double t = (value - from(i)) / (from(i + 1) - from(i));
    return to(i) + (to(i + 1) - to(i)) * t;
}

using Chain = std::vector<GeoPoint>;

Chain Reversed(Chain c)
{
    std::reverse(c.begin(), c.end());
    return c;
}

// Joins chains end to start; a point shared by two chains is kept once.
Chain Join(std::initializer_list<Chain> chains)
{
    Chain out;
    for (const Chain& c : chains) {
        for (const GeoPoint& p : c) {
            if (!out.empty() && out.back().lon == p.lon && out.back().lat == p.lat)
                continue;
            out.push_back(p);
        }
    }
    return out;
}

// The borders, each named by the two countries it divides, listed in one direction.
const Chain kSiliLiang = {{106.4, 34.15}, {106.45, 35.0}, {106.45, 35.6}, {107.5, 35.75}, {108.4, 35.9}};
const Chain kSiliBing = {{108.4, 35.9}, {109.3, 36.1}, {110.3, 36.25}, {111.2, 36.45},
                         {112.0, 36.5}, {112.6, 36.0}, {113.3, 35.8}, {113.9, 35.75}};
const Chain kSiliJi = {{113.9, 35.75}, {114.3, 35.45}, {114.55, 35.15}};
const Chain kSiliYan = {{114.55, 35.15}, {114.35, 34.85}, {114.1, 34.55}};
const Chain kSiliYu = {{114.1, 34.55}, {113.6, 34.3}, {113.0, 33.9}};
const Chain kSiliJing = {{113.0, 33.9}, {112.2, 33.85}, {111.3, 33.9}, {110.6, 33.6}};
const Chain kSiliHanzhong = {{110.6, 33.6}, {109.5, 33.8}, {108.4, 33.9}, {107.3, 34.0}, {106.4, 34.15}};
const Chain kLiangHanzhong = {{106.4, 34.15}, {105.8, 33.9}, {105.2, 33.6}, {104.5, 33.3}};
const Chain kLiangYi = {{104.5, 33.3}, {103.6, 33.3}, {102.9, 33.25}, {101.5, 33.0}};
const Chain kLiangBing = {{108.4, 35.9}, {108.45, 36.7}, {108.35, 37.5}, {108.3, 38.5}, {108.25, 39.5},
                          {108.2, 40.5}, {108.3, 42.0}};
const Chain kHanzhongJing = {{110.6, 33.6}, {110.7, 33.2}, {110.6, 32.6}, {110.3, 32.0}, {109.9, 31.55}};
const Chain kHanzhongYi = {{104.5, 33.3}, {105.2, 32.5}, {106.0, 32.15}, {107.0, 31.95},
                           {108.0, 31.8}, {109.0, 31.7}, {109.9, 31.55}};
// From its fourth point on, the upper Huai.
const Chain kJingYu = {{113.0, 33.9}, {113.2, 33.5}, {113.4, 32.95}, {113.45, 32.45},
                       {113.9, 32.36}, {114.5, 32.3}, {115.0, 32.3}};
const Chain kJingYang = {{115.0, 32.3}, {115.3, 31.6}, {115.7, 30.9}, {115.6, 30.2}, {115.0, 29.8}, {114.4, 29.4},
                         {113.9, 28.8}, {113.9, 28.1}, {114.1, 27.2}, {114.0, 26.2}, {114.0, 25.2}};
const Chain kJingJiao = {{114.0, 25.2}, {113.2, 24.8}, {112.3, 24.9}, {111.3, 24.9},
                         {110.3, 25.0}, {109.5, 25.5}, {108.6, 25.4}};
const Chain kYiJing = {{109.9, 31.55}, {110.2, 31.0}, {110.0, 30.3}, {109.5, 29.6}, {109.0, 28.8},
                       {108.9, 27.9}, {109.2, 27.0}, {108.9, 26.2}, {108.6, 25.4}};
const Chain kYuYan = {{114.1, 34.55}, {114.7, 34.35}, {115.5, 34.4}, {116.3, 34.45}, {117.0, 34.45}};
const Chain kYuXu = {{117.0, 34.45}, {117.1, 34.0}, {117.2, 33.5}, {117.5, 32.95}};
// The Huai.
const Chain kYuYang = {{115.0, 32.3}, {115.5, 32.42}, {116.0, 32.48}, {116.5, 32.55}, {117.0, 32.75}, {117.5, 32.95}};
// The lower Yellow River, which in Han times ran between Ji and Yan, then Ji and Qing.
const Chain kYanJi = {{114.55, 35.15}, {115.0, 35.45}, {115.5, 35.8}, {115.9, 36.15}, {116.2, 36.5}};
const Chain kQingJi = {{116.2, 36.5}, {116.6, 36.9}, {117.1, 37.3}, {117.6, 37.62}, {118.15, 37.9}, {118.7, 38.3}};
const Chain kYanQing = {{116.2, 36.5}, {116.8, 36.3}, {117.3, 36.1}, {117.8, 35.9}, {118.1, 35.75}};
const Chain kYanXu = {{118.1, 35.75}, {118.0, 35.35}, {117.6, 34.9}, {117.0, 34.45}};
const Chain kXuQing = {{118.1, 35.75}, {118.8, 35.8}, {119.4, 35.75}, {119.9, 35.65}, {120.6, 35.5}};
// From Nanjing on, the lower Yangtze.
const Chain kYangXu = {{117.5, 32.95}, {118.0, 32.6},  {118.45, 32.25}, {118.75, 32.05}, {119.1, 32.2},
                       {119.5, 32.22}, {120.0, 32.02}, {120.5, 31.87}, {121.0, 31.74}, {121.5, 31.62},
                       {122.5, 31.6}};
const Chain kBingJi = {{113.9, 35.75}, {113.8, 36.5}, {113.7, 37.3}, {113.9, 38.1}, {114.4, 39.0}};
const Chain kJiYou = {{114.4, 39.0}, {115.0, 39.1}, {115.8, 39.2}, {116.6, 39.1}, {117.3, 39.0}, {117.9, 38.95},
                      {118.3, 38.9}};
const Chain kBingYou = {{114.4, 39.0}, {114.6, 39.7}, {114.3, 40.4}, {114.5, 40.95}, {114.6, 43.0}};
const Chain kYangJiao = {{114.0, 25.2}, {114.8, 24.8}, {115.6, 24.6}, {116.3, 24.3},
                         {116.9, 23.95}, {117.3, 23.7}, {117.6, 23.2}};
const Chain kYiJiao = {{108.6, 25.4}, {107.6, 24.9}, {106.6, 24.2}, {105.6, 23.5},
                       {104.6, 23.0}, {103.6, 22.8}, {102.8, 22.3}, {102.0, 21.5}};

std::vector<CountryShape> MakeCountries()
{
    std::vector<CountryShape> c(kCountryCount);
    c[0] = {"司隷", Join({kSiliLiang, kSiliBing, kSiliJi, kSiliYan, kSiliYu, kSiliJing, kSiliHanzhong}),
            {112.4, 34.7}};
    c[1] = {"豫州", Join({Reversed(kSiliYu), kYuYan, kYuXu, Reversed(kYuYang), Reversed(kJingYu)}), {115.2, 33.6}};
    // The province 兗州 has a character outside code page 932; the country takes the
    // name of its leading commandery instead.
    c[2] = {"陳留", Join({Reversed(kSiliYan), kYanJi, kYanQing, kYanXu, Reversed(kYuYan)}), {115.6, 35.3}};
    c[3] = {"徐州", Join({Reversed(kYanXu), kXuQing, Chain{{121.5, 35.0}, {122.8, 33.0}, {122.7, 31.6}}, Reversed(kYangXu),
                          Reversed(kYuXu)}),
            {118.3, 34.2}};
    c[4] = {"青州", Join({Reversed(kYanQing), kQingJi, Chain{{123.0, 38.5}, {123.0, 35.9}}, Reversed(kXuQing)}),
            {118.4, 36.8}};
    c[5] = {"涼州", Join({Reversed(kSiliLiang), kLiangHanzhong, kLiangYi,
                          Chain{{90.0, 33.0}, {90.0, 45.0}, {108.3, 45.0}, {108.3, 43.0}}, Reversed(kLiangBing)}),
            {105.0, 36.0}};
    c[6] = {"并州", Join({Reversed(kSiliBing), kLiangBing, Chain{{108.3, 43.0}, {114.6, 43.0}},
                          Reversed(kBingYou), Reversed(kBingJi)}),
            {112.3, 38.3}};
    c[7] = {"冀州", Join({Reversed(kSiliJi), kBingJi, kJiYou, Chain{{118.9, 38.6}}, Reversed(kQingJi),
                          Reversed(kYanJi)}),
            {115.3, 37.7}};
    c[8] = {"幽州", Join({kBingYou, Chain{{127.0, 43.0}, {127.0, 38.55}, {118.3, 38.6}}, Reversed(kJiYou)}),
            {117.0, 40.3}};
    c[9] = {"揚州", Join({kYangXu, Chain{{123.5, 31.0}, {123.0, 27.0}, {120.0, 23.5}}, Reversed(kYangJiao),
                          Reversed(kJingYang), kYuYang}),
            {117.6, 28.3}};
    c[10] = {"荊州", Join({Reversed(kSiliJing), kJingYu, kJingYang, kJingJiao, Reversed(kYiJing),
                           Reversed(kHanzhongJing)}),
             {112.0, 31.0}};
    c[11] = {"益州", Join({kYiJing, kYiJiao, Chain{{94.0, 21.5}, {94.0, 33.0}}, Reversed(kLiangYi), kHanzhongYi}),
             {104.3, 30.4}};
    c[12] = {"交州", Join({kYangJiao, Chain{{118.5, 21.0}, {112.0, 17.0}, {106.8, 16.5}, {104.0, 16.5}, {101.5, 20.5}},
                           Reversed(kYiJiao), Reversed(kJingJiao)}),
             {111.0, 23.0}};
    c[13] = {"漢中", Join({Reversed(kSiliHanzhong), kHanzhongJing, Reversed(kHanzhongYi), Reversed(kLiangHanzhong)}),
             {106.4, 32.9}};
    return c;
}

} // namespace

PixelPoint Project(GeoPoint g)
{
    return {Interpolate(kLonKnots, g.lon, true), Interpolate(kLatKnots, g.lat, true)};
}

GeoPoint Unproject(PixelPoint p)
{
    return {Interpolate(kLonKnots, p.x, false), Interpolate(kLatKnots, p.y, false)};
}

const std::vector<CountryShape>& Countries()
{
    static const std::vector<CountryShape> countries = MakeCountries();
    return countries;
}

const std::vector<GeoPoint>& RealmOutline()
{
    static const std::vector<GeoPoint> realm = {
        // The coast, from the mouth of the Yalu round Liaodong, the Bohai and Shandong
        // down to Jiaozhi.
        {124.4, 39.85}, {123.6, 39.75}, {123.0, 39.55}, {122.4, 39.3}, {121.9, 39.0}, {121.25, 38.8},
        {121.45, 39.2}, {121.75, 39.6}, {122.1, 40.1}, {122.3, 40.5}, {122.0, 40.85}, {121.4, 40.9},
        {120.9, 40.55}, {120.4, 40.25}, {119.75, 39.95}, {119.25, 39.45}, {118.6, 39.15}, {118.0, 39.15},
        {117.7, 38.9}, {117.55, 38.55}, {117.75, 38.2}, {118.15, 37.95}, {118.7, 37.7}, {119.0, 37.35},
        {119.3, 37.15}, {119.75, 37.25}, {120.2, 37.55}, {120.75, 37.8}, {121.3, 37.6}, {121.9, 37.5},
        {122.55, 37.4}, {122.5, 37.0}, {122.0, 36.9}, {121.5, 36.75}, {120.9, 36.45}, {120.4, 36.1},
        {120.0, 35.9}, {119.6, 35.55}, {119.35, 35.05}, {119.25, 34.7}, {119.7, 34.45}, {120.25, 34.3},
        {120.55, 33.7}, {120.85, 33.1}, {120.95, 32.6}, {121.35, 32.35}, {121.9, 31.8},
        // the Yangtze estuary
        {121.45, 31.78}, {121.0, 31.72}, {121.2, 31.5}, {121.6, 31.3}, {121.95, 30.85},
        // Hangzhou bay
        {121.4, 30.75}, {120.9, 30.45}, {120.45, 30.35}, {121.2, 30.15}, {121.8, 29.95},
        {121.95, 29.6}, {121.6, 29.2}, {121.7, 28.75}, {121.35, 28.25}, {120.95, 27.95}, {120.65, 27.5},
        {120.35, 27.1}, {120.05, 26.65}, {119.65, 26.25}, {119.6, 25.75}, {119.25, 25.4}, {118.9, 25.05},
        {118.55, 24.65}, {118.05, 24.45}, {117.6, 24.0}, {117.1, 23.65}, {116.6, 23.25}, {116.0, 22.9},
        {115.3, 22.75}, {114.6, 22.5}, {114.1, 22.3},
        // the Pearl River estuary
        {113.85, 22.55}, {113.65, 22.85}, {113.55, 22.45}, {113.5, 22.15},
        {113.0, 22.0}, {112.4, 21.8}, {111.7, 21.6}, {111.0, 21.45}, {110.5, 21.2}, {110.35, 20.8},
        {110.2, 20.35}, {109.95, 20.25}, {109.7, 20.7}, {109.75, 21.45}, {109.3, 21.5}, {108.8, 21.65},
        {108.3, 21.6}, {107.9, 21.55}, {107.4, 21.25}, {106.9, 20.9}, {106.6, 20.55}, {106.3, 20.2},
        {106.0, 19.85}, {105.8, 19.4}, {105.7, 18.95}, {105.9, 18.6}, {106.15, 18.25}, {106.45, 17.8},
        // The land frontier, from the south of Jiaozhi round Yunnan, Shu, the Qilian
        // mountains and the Hexi corridor, south of the Ordos and along the steppe.
        {105.8, 17.9}, {105.2, 18.4}, {104.6, 19.2}, {104.0, 19.8}, {103.9, 20.6}, {103.4, 21.3},
        {102.8, 21.8}, {102.3, 22.4}, {101.5, 22.7}, {100.6, 23.1}, {99.6, 23.6}, {98.8, 23.9},
        {98.2, 24.4}, {97.8, 25.1}, {98.2, 25.9}, {98.6, 26.8}, {99.2, 27.6}, {100.2, 28.3},
        {101.0, 29.2}, {101.6, 30.2}, {102.1, 31.2}, {102.5, 32.3}, {102.9, 33.2}, {102.5, 33.9},
        {101.7, 34.5}, {100.8, 35.2}, {100.3, 36.0}, {99.6, 36.7}, {98.8, 37.4}, {98.0, 38.3},
        {97.0, 39.1}, {95.5, 39.4}, {94.2, 39.5}, {93.6, 39.9}, {93.7, 40.35}, {94.6, 40.55},
        {96.0, 40.4}, {97.5, 40.2}, {98.7, 39.95}, {99.8, 39.6}, {100.8, 39.3}, {101.8, 39.0},
        {102.8, 38.95}, {103.6, 38.6}, {104.2, 38.95}, {104.9, 39.5}, {105.6, 40.2}, {106.3, 40.8},
        {107.2, 41.2}, {108.2, 41.35}, {109.3, 41.2}, {110.4, 41.1}, {111.4, 41.05}, {112.6, 41.1},
        {113.6, 41.2}, {114.5, 40.95}, {115.4, 41.3}, {116.4, 41.4}, {117.4, 41.4}, {118.4, 41.8}, {119.4, 42.3},
        {120.4, 42.6}, {121.4, 42.7}, {122.5, 42.8}, {123.4, 42.6}, {124.1, 42.1}, {124.7, 41.4},
        {124.8, 40.6},
    };
    return realm;
}

const std::vector<std::vector<GeoPoint>>& ForeignCoasts()
{
    static const std::vector<std::vector<GeoPoint>> coasts = {
        // Korea, from the Yalu round to the east, where the panel hides it.
        {{124.2, 40.1}, {124.3, 39.95}, {124.9, 39.65}, {125.3, 39.45}, {125.45, 38.9}, {124.9, 38.55}, {124.8, 38.2},
         {125.3, 37.85}, {126.0, 37.7}, {126.6, 37.3}, {126.5, 36.9}, {126.2, 36.4}, {126.55, 35.8},
         {126.3, 35.1}, {126.4, 34.5}, {127.5, 34.6}, {128.5, 34.9}, {129.3, 35.3}, {175.0, 35.3}},
        // The coast of Annam south of the realm, down past the bottom edge.
        {{106.0, 18.1}, {106.35, 17.95}, {106.6, 17.4}, {107.1, 16.8}, {107.8, 16.3}, {108.3, 15.6}, {108.8, 14.0},
         {109.3, 11.0}},
    };
    return coasts;
}

const std::vector<std::vector<GeoPoint>>& Islands()
{
    static const std::vector<std::vector<GeoPoint>> islands = {
        // Hainan
        {{108.6, 19.1}, {108.7, 18.5}, {109.5, 18.2}, {110.1, 18.4}, {110.6, 18.8}, {111.0, 19.6},
         {110.7, 20.1}, {110.2, 20.05}, {109.6, 20.0}, {109.0, 19.7}},
        // Taiwan
        {{121.0, 25.1}, {121.6, 25.3}, {122.0, 25.0}, {121.8, 24.3}, {121.4, 23.3}, {121.0, 22.6},
         {120.8, 21.9}, {120.6, 22.4}, {120.2, 22.9}, {120.1, 23.6}, {120.3, 24.3}, {120.7, 24.8}},
        // the north of Luzon
        {{120.6, 18.5}, {121.0, 18.6}, {121.9, 18.35}, {122.3, 17.9}, {122.5, 16.5}, {120.3, 16.5},
         {120.4, 17.6}},
    };
    return islands;
}

GeoPoint SeaSeed() { return {123.0, 33.0}; }

Chain Tail(const Chain& chain, std::size_t from) { return Chain(chain.begin() + from, chain.end()); }

const std::vector<River>& Rivers()
{
    static const std::vector<River> rivers = {
        // The Yellow River, from Qinghai round the Ordos and past Luoyang; below
        // Luoyang it is the border of Ji, down to its mouth of Han times.
        {{{97.6, 34.5}, {98.8, 35.0}, {99.8, 35.5}, {100.8, 35.9}, {101.8, 36.0}, {102.8, 36.0},
          {103.8, 36.1}, {104.5, 36.6}, {105.2, 37.35}, {105.9, 37.75}, {106.4, 38.4}, {106.8, 39.1},
          {107.0, 39.7}, {107.25, 40.25}, {107.8, 40.6}, {108.8, 40.55}, {110.0, 40.45}, {110.8, 40.25},
          {111.2, 40.1}, {111.2, 39.6}, {110.95, 39.0}, {110.65, 38.3}, {110.5, 37.4}, {110.45, 36.6},
          {110.5, 35.8}, {110.45, 35.2}, {110.3, 34.65}, {110.9, 34.76}, {111.6, 34.86}, {112.4, 34.86},
          {113.1, 34.96}, {113.7, 35.02}, {114.2, 35.1}, {114.55, 35.15}},
         2, false},
        {Join({kYanJi, kQingJi}), 2, true},
        // The Yangtze, from the Jinsha in Tibet to Nanjing, and on as the border of Xu.
        {{{97.4, 33.2}, {98.6, 32.0}, {99.2, 30.6}, {99.5, 29.2}, {99.9, 28.0}, {100.25, 27.1},
          {100.9, 26.4}, {101.8, 26.5}, {102.6, 26.3}, {103.2, 26.9}, {103.8, 27.8}, {104.6, 28.75},
          {105.4, 28.9}, {106.5, 29.5}, {107.4, 29.9}, {108.4, 30.75}, {109.5, 31.05}, {110.3, 30.9},
          {111.3, 30.65}, {112.2, 30.3}, {112.6, 29.85}, {113.1, 29.45}, {113.6, 29.9}, {114.3, 30.55},
          {114.9, 30.2}, {115.6, 29.85}, {116.1, 29.75}, {116.7, 30.2}, {117.3, 30.75}, {118.0, 31.2},
          {118.4, 31.5}, {118.75, 32.05}},
         2, false},
        {Tail(kYangXu, 3), 2, true},
        // The Huai: the border of Yu, then across Xu to the sea.
        {Join({Tail(kJingYu, 3), kYuYang}), 1, true},
        {{{117.5, 32.95}, {118.0, 33.1}, {118.6, 33.3}, {119.1, 33.55}, {119.6, 33.85}, {120.2, 34.1},
          {120.7, 34.15}},
         1, false},
        // The Wei, past Chang'an into the Yellow River at Tongguan.
        {{{106.7, 34.55}, {107.3, 34.42}, {108.2, 34.36}, {108.9, 34.3}, {109.6, 34.45}, {110.3, 34.65}}, 1, false},
        // The Fen, down through Taiyuan.
        {{{112.1, 38.9}, {112.5, 38.2}, {112.4, 37.6}, {111.9, 37.1}, {111.6, 36.5}, {111.2, 35.8},
          {110.52, 35.55}},
         1, false},
        // The Han, from Hanzhong past Xiangyang into the Yangtze.
        {{{108.0, 32.9}, {108.5, 32.8}, {109.2, 32.7}, {109.9, 32.8},
          {110.5, 32.7}, {111.2, 32.6}, {111.8, 32.3}, {112.2, 31.9}, {112.5, 31.3}, {112.9, 30.9},
          {113.5, 30.7}, {114.3, 30.55}},
         1, false},
        // The Min, through Chengdu down to the Yangtze.
        {{{103.6, 31.7}, {103.9, 30.9}, {104.0, 30.2}, {104.3, 29.5}, {104.6, 28.75}}, 1, false},
        // The Xiang, north through Changsha into Lake Dongting.
        {{{111.4, 25.7}, {111.9, 26.4}, {112.6, 27.3}, {112.95, 28.2}, {112.85, 29.0}}, 1, false},
        // The Gan, north into Lake Poyang.
        {{{115.0, 25.9}, {115.0, 26.8}, {115.4, 27.8}, {115.8, 28.6}, {116.2, 28.9}}, 1, false},
        // The West River, to the Pearl River estuary.
        {{{107.6, 23.0}, {108.4, 22.9}, {109.3, 23.2}, {110.1, 23.4}, {111.3, 23.5}, {112.5, 23.1},
          {113.2, 23.0}, {113.62, 22.78}},
         1, false},
        // The Red River, through Jiaozhi to the sea.
        {{{103.9, 22.4}, {104.4, 22.05}, {105.2, 21.3}, {105.85, 21.0}, {106.3, 20.6}, {106.7, 20.4}}, 1, false},
        // The Liao, from the steppe into the Bohai.
        {{{123.9, 43.2}, {123.3, 42.4}, {122.9, 41.7}, {122.5, 41.3}, {122.1, 40.9}, {121.9, 40.7}}, 1, false},
    };
    return rivers;
}

const std::vector<Lake>& Lakes()
{
    static const std::vector<Lake> lakes = {
        {{112.75, 29.08}, 0.32, 0.2}, // Dongting
        {{116.25, 29.15}, 0.2, 0.4},  // Poyang
        {{120.2, 31.2}, 0.28, 0.22},  // Tai
        {{117.5, 31.6}, 0.18, 0.12},  // Chao
        {{118.6, 33.3}, 0.22, 0.15},  // Hongze
    };
    return lakes;
}

const std::vector<GeoPoint>& GreatWall()
{
    static const std::vector<GeoPoint> wall = {
        {93.9, 40.75}, {95.5, 40.8}, {97.5, 40.6}, {98.9, 40.35}, {100.0, 40.0}, {101.0, 39.7},
        {102.0, 39.45}, {103.0, 39.35}, {103.9, 39.3}, {104.7, 39.8}, {105.5, 40.5}, {106.3, 41.15},
        {107.2, 41.6},  {108.2, 41.75}, {109.3, 41.6}, {110.4, 41.5}, {111.4, 41.45}, {112.6, 41.5},
        {113.6, 41.6},  {114.5, 41.4},
        {115.4, 41.7},  {116.4, 41.75}, {117.4, 41.65}, {118.4, 41.95}, {119.4, 42.4}, {120.4, 42.6},
    };
    return wall;
}

} // namespace assets
