#include "output/HtmlPlayer.h"

#include "score/ScoreLayout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace htmlplayer {

namespace {

// The bar, its buttons and the cursor bars; symbols as character references,
// since the page is Windows-1251.
const char* const kMarkup =
    R"(<div id="cxPlayer" style="position:fixed;left:0;right:0;bottom:0;z-index:10;text-align:left;background:#F4ECD8;border-top:1px solid #7E2B27;padding:6px 10px;font:16px Arial,sans-serif;color:#04355D">
<button id="cxPlay" type="button" style="min-width:48px;min-height:40px;font-size:20px">&#9654;</button>
<span id="cxTime" style="margin:0 10px">0:00</span><span id="cxNote" style="color:#7E2B27">%NOTE%</span>
<audio id="cxAudio" preload="auto"></audio>
</div>)";

// Time to column: column c sounds from c * ms to (c + 1) * ms. Pictures are
// matched by their file names ("p_g.jpg"); the bars are placed in the
// picture's own pixels, scaled when the browser shows it at another size.
const char* const kScript = R"(<script>
(function () {
  var d = cx, a = document.getElementById("cxAudio"), btn = document.getElementById("cxPlay");
  var tm = document.getElementById("cxTime"), note = document.getElementById("cxNote");
  var bars = [], pending = null, leaving = false, ok = d.sound !== "";
  var pageStart = (d.page - 1) * d.per * d.ms / 1000;
  var vp = document.createElement("meta");
  vp.name = "viewport"; vp.content = "width=device-width, initial-scale=1";
  document.getElementsByTagName("head")[0].appendChild(vp);
  document.body.style.paddingBottom = "64px";
  for (var g = 0; g < 3; g++) {
    var e = document.createElement("div");
    e.id = "cxBar" + g;
    e.style.cssText = "position:absolute;display:none;pointer-events:none;z-index:5;" +
      "background:rgba(0,0,160,0.25);border:1px solid #0000A0;box-sizing:border-box";
    document.body.appendChild(e);
    bars.push(e);
  }
  function columnAt(t) {
    var c = Math.floor(t * 1000 / d.ms + 1e-6);
    return Math.max(0, Math.min(d.columns - 1, c));
  }
  function pageOf(c) { return Math.floor(c / d.per) + 1; }
  function picture(p, g) {
    var s = p + "_" + g + ".jpg", l = document.images;
    for (var i = 0; i < l.length; i++) { if (l[i].getAttribute("src") === s) { return l[i]; } }
    return null;
  }
  function clock(t) {
    t = Math.max(0, Math.floor(t));
    return Math.floor(t / 60) + ":" + ("0" + t % 60).slice(-2);
  }
  function total() { return isFinite(a.duration) && a.duration > 0 ? a.duration : d.columns * d.ms / 1000; }
  function now() { return pending !== null ? pending : a.currentTime; }
  function seek(t) {
    if (a.readyState > 0) { a.currentTime = t; pending = null; } else { pending = t; }
    draw();
  }
  function hide() { for (var g = 0; g < 3; g++) { bars[g].style.display = "none"; } }
  function turnTo(p, t) {
    if (leaving) { return; }
    leaving = true;
    location.href = (p % 2 === 1 ? p : p - 1) + ".html#t=" + t.toFixed(3) + "&play=1";
  }
  function draw() {
    if (!ok) { hide(); return; }
    var t = now(), c = columnAt(t), p = pageOf(c), places = d.places[p];
    tm.textContent = clock(t) + " / " + clock(total());
    if (!places) {
      hide();
      if (!a.paused && !a.ended) { turnTo(p, t); }
      return;
    }
    var place = places[c - (p - 1) * d.per];
    for (var g = 0; g < 3; g++) {
      var im = picture(p, g), e = bars[g];
      if (!place || !im || !im.naturalWidth) { e.style.display = "none"; continue; }
      var r = im.getBoundingClientRect(), sx = r.width / im.naturalWidth, sy = r.height / im.naturalHeight;
      e.style.left = (r.left + window.pageXOffset + place[0] * sx) + "px";
      e.style.top = (r.top + window.pageYOffset + d.bars[g][0] * sy) + "px";
      e.style.width = Math.max(2, place[1] * sx) + "px";
      e.style.height = Math.max(2, d.bars[g][1] * sy) + "px";
      e.style.display = "block";
      if (g === 0 && !a.paused) {
        var left = r.left + place[0] * sx;
        if (left < 0 || left > window.innerWidth - 20) {
          window.scrollBy(left - window.innerWidth / 3, 0);
        }
      }
    }
  }
  function frame() { draw(); if (!a.paused && !a.ended) { window.requestAnimationFrame(frame); } }
  function play() {
    var started = a.play();
    if (started && started.catch) { started.catch(function () { draw(); }); }
  }
  function toggle() {
    if (!ok) { return; }
    if (!a.paused && !a.ended) { a.pause(); return; }
    if (a.ended) { seek(pageStart); }
    play();
  }
  function fail(text) {
    ok = false;
    btn.disabled = true;
    note.textContent = text;
    hide();
  }
  btn.onclick = function () { toggle(); };
  document.addEventListener("keydown", function (ev) {
    if ((ev.key === " " || ev.code === "Space") && !ev.ctrlKey && !ev.altKey && !ev.metaKey) {
      ev.preventDefault();
      toggle();
    }
  });
  function clicked(ev) {
    var m = /^(\d+)_\d\.jpg$/.exec(ev.currentTarget.getAttribute("src") || ""), places = m && d.places[m[1]];
    if (!ok || !places || !places.length) { return; }
    var im = ev.currentTarget, r = im.getBoundingClientRect();
    var x = (ev.clientX - r.left) * im.naturalWidth / r.width, n = 0;
    for (var i = 0; i < places.length; i++) { if (places[i][0] <= x) { n = i; } }
    seek(((+m[1] - 1) * d.per + n + 0.005) * d.ms / 1000);
    play();
  }
  for (var i = 0; i < document.images.length; i++) {
    if (/^\d+_\d\.jpg$/.test(document.images[i].getAttribute("src") || "")) {
      document.images[i].addEventListener("click", clicked);
      document.images[i].style.cursor = "pointer";
      document.images[i].addEventListener("load", draw);
    }
  }
  if (!ok) { fail(d.note); return; }
  var from = /[#&]t=([0-9.]+)/.exec(location.hash), go = /[#&]play=1/.test(location.hash);
  a.addEventListener("loadedmetadata", function () {
    if (pending !== null) { seek(pending); }
    if (go) { go = false; play(); }
  });
  a.addEventListener("play", function () { btn.innerHTML = "&#10074;&#10074;"; frame(); });
  a.addEventListener("pause", function () { btn.innerHTML = "&#9654;"; draw(); });
  a.addEventListener("ended", function () { btn.innerHTML = "&#9654;"; draw(); });
  a.addEventListener("seeked", draw);
  a.addEventListener("timeupdate", draw);
  a.addEventListener("error", function () { fail("\u0417\u0432\u0443\u043a \u043d\u0435\u0434\u043e\u0441\u0442\u0443\u043f\u0435\u043d."); });
  window.addEventListener("resize", draw);
  a.src = d.sound;
  seek(from ? parseFloat(from[1]) : pageStart);
  if (go && a.readyState > 0) { go = false; play(); }
})();
</script>)";

QString crLf(QString text) {
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace

std::vector<CursorPlace> pageCursorPlaces(int page, int columns, QSize smallStaff) {
    std::vector<CursorPlace> places;
    const int first = (page - 1) * kScorePageColumns;
    const int count = std::clamp(columns - first, 0, kScorePageColumns);
    const int width = scoreCursorSize(smallStaff).width();
    places.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        places.push_back({scoreCursorLeft(n, smallStaff.width()), width});
    }
    return places;
}

std::array<int, 2> cursorBar(int staffHeight) {
    // The window puts its bars 4 pixels below the staff's top.
    return {4, scoreCursorSize(QSize(0, staffHeight)).height()};
}

QString dataLine(const Player& player) {
    QJsonObject places;
    for (const PlayerPage& page : player.pages) {
        QJsonArray table;
        for (const CursorPlace& place : page.places) {
            table.append(QJsonArray{place.x, place.width});
        }
        places.insert(QString::number(page.page), table);
    }
    QJsonArray bars;
    for (const auto& bar : player.bars) {
        bars.append(QJsonArray{bar[0], bar[1]});
    }
    const QJsonObject data{{QStringLiteral("sound"), player.sound},
                           {QStringLiteral("note"), player.note},
                           {QStringLiteral("ms"), player.intervalMs},
                           {QStringLiteral("columns"), player.columns},
                           {QStringLiteral("per"), kScorePageColumns},
                           {QStringLiteral("page"), player.page},
                           {QStringLiteral("bars"), bars},
                           {QStringLiteral("places"), places}};
    QString json = QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Compact));
    // A ringing name never gets here, but a note must not end the script.
    json.replace(QStringLiteral("</"), QStringLiteral("<\\/"));
    return QStringLiteral("var cx = ") + json + u';';
}

QString playerBlock(const Player& player) {
    // The note stands in the markup too, so that it shows without the script.
    const QString markup =
        QString::fromLatin1(kMarkup).replace(QStringLiteral("%NOTE%"), player.note.toHtmlEscaped());
    return crLf(markup) + QStringLiteral("\r\n<script>\r\n") + dataLine(player) +
           QStringLiteral("\r\n</script>\r\n") + crLf(QString::fromLatin1(kScript)) + QStringLiteral("\r\n");
}

} // namespace htmlplayer
