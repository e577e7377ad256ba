#include "builder/pageprobe.h"

#include "builder/runlog.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace quill {

namespace {

// What the probe's reports begin with (the script spells it out too); the
// page's own console lines never do, since the probe writes them out itself.
const QString ProbeMark = QStringLiteral("\x01quill-probe ");

// A program that writes lines faster than this, per second, has the rest
// left out and told by count: a flood of lines would otherwise hold up the
// window, and the view keeps the last RunLog::Capacity lines anyway.
constexpr int LinesPerSecond = 300;

// The probe declares nothing in the page: everything lives in one arrow
// function's scope. It keeps its own references to what it uses, so a page
// that replaces console, JSON or the timers does not reach it.
const char *const ProbeSource = R"js((() => {
  'use strict';
  const mark = '\u0001quill-probe ';
  const limit = %1;
  const perSecond = %2;
  const say = console.debug.bind(console);
  const stringify = JSON.stringify;
  const apply = Reflect.apply;
  const raf = window.requestAnimationFrame;
  const every = window.setInterval;
  const later = window.setTimeout;
  const now = performance.now.bind(performance);
  const send = (report) => say(mark + stringify(report));
  const clip = (text) => (text.length > limit ? text.slice(0, limit) + '\u2026' : text);

  const stackHere = () => {
    const keep = Error.stackTraceLimit;
    Error.stackTraceLimit = 40;
    const stack = new Error().stack;
    Error.stackTraceLimit = keep;
    return stack;
  };
  // Texts as they are; arrays and plain objects as JSON; the rest as String
  // gives them.
  const show = (value) => {
    try {
      if (typeof value === 'string') return value;
      if (value !== null && typeof value === 'object'
          && (Array.isArray(value) || Object.getPrototypeOf(value) === Object.prototype)) {
        const json = stringify(value);
        if (json !== undefined) return json;
      }
      return String(value);
    } catch (e) {
      return Object.prototype.toString.call(value);
    }
  };
  // The console's own way: a first text with %s, %d, %i, %f, %o, %O or %c
  // takes the values after it; the rest follow, separated by blanks.
  const line = (values) => {
    const parts = [];
    let next = 0;
    if (typeof values[0] === 'string' && values.length > 1) {
      next = 1;
      parts.push(values[0].replace(/%[sdifoOc%]/g, (spec) => {
        if (spec === '%%') return '%';
        if (next >= values.length) return spec;
        const value = values[next++];
        if (spec === '%c') return '';
        if (spec === '%d' || spec === '%i') return show(parseInt(value, 10));
        if (spec === '%f') return show(parseFloat(value));
        return show(value);
      }));
    }
    for (; next < values.length; next++) parts.push(show(values[next]));
    return parts.join(' ');
  };

  let counting = 'waiting';  // the frame counter: then 'counting' or 'failed'
  let secondStart = -Infinity, written = 0, leftOut = 0;
  const tellLeftOut = () => {
    if (leftOut > 0) {
      send({ kind: 'console', level: 'warn', text: leftOut + ' more lines were left out.', stack: '' });
      leftOut = 0;
    }
  };
  // Log lines count when the page or the runtime writes them; the engines'
  // own chatter is dropped here, from the caller's script alone, before any
  // stack is written out or sent.
  const page = location.href.split('#')[0];
  const runtime = new URL('js/quillfunc.js', page).href;
  const callerScript = (wrapper) => {
    const keep = Error.prepareStackTrace;
    const keepLimit = Error.stackTraceLimit;
    const holder = {};
    try {
      Error.stackTraceLimit = 1;
      Error.prepareStackTrace = (error, sites) => sites;
      Error.captureStackTrace(holder, wrapper);
      const sites = holder.stack;
      return sites && sites.length ? String(sites[0].getScriptNameOrSourceURL()) : '';
    } catch (e) {
      return '';
    } finally {
      Error.prepareStackTrace = keep;
      Error.stackTraceLimit = keepLimit;
    }
  };
  const levels = { log: 'log', info: 'log', debug: 'log', warn: 'warn', error: 'error' };
  for (const name of Object.keys(levels)) {
    const level = levels[name];
    console[name] = function wrapper(...values) {
      if (level === 'log') {
        const script = callerScript(wrapper);
        if (script !== page && script !== runtime) return;
      }
      const time = now();
      if (time - secondStart >= 1000) {
        tellLeftOut();
        secondStart = time;
        written = 0;
      }
      if (++written > perSecond) {
        if (leftOut++ === 0) later(tellLeftOut, 1000 - (time - secondStart));
        return;
      }
      let text;
      try { text = line(values); } catch (e) { text = '?'; }
      send({ kind: 'console', level, text: clip(text), stack: stackHere() });
    };
  }

  // Errors before the first frame, until it comes.
  const early = [];
  addEventListener('error', (event) => {
    if (!(event instanceof ErrorEvent)) return;
    if (counting === 'waiting') early.push(event);
    let stack = '';
    try {
      if (event.error instanceof Error && typeof event.error.stack === 'string') stack = event.error.stack;
    } catch (e) {}
    send({ kind: 'uncaught', text: clip(String(event.message)), source: String(event.filename),
           line: event.lineno, stack });
  });

  // A script of the page that could not be loaded, and one whose end tag the
  // parser never saw ("<!--" and "<script" in its text hid it, so the rest of
  // the page became its text, and it ran as something else or not at all):
  // either would leave a blank page behind. A script made by a script (a
  // carried one) ends in its sourceURL line and is none of these.
  const ownGetter = (proto, name) => Object.getOwnPropertyDescriptor(proto, name).get;
  const scriptsOf = ownGetter(Document.prototype, 'scripts');
  const textOf = ownGetter(HTMLScriptElement.prototype, 'text');
  const hasAttribute = Element.prototype.hasAttribute;
  const getAttribute = Element.prototype.getAttribute;
  const test = RegExp.prototype.test;
  const endTag = /<\/script/i, madeByScript = /\n\/\/# sourceURL=[^\n]*$/;
  const failedToStart = (text) => {
    if (counting === 'waiting') early.push({ defaultPrevented: false });
    send({ kind: 'uncaught', text: clip(text), source: page, line: 0, stack: '' });
  };
  addEventListener('error', (event) => {
    const target = event.target;
    if (target instanceof HTMLScriptElement)
      failedToStart('Failed to load ' + apply(getAttribute, target, ['src']) + '.');
  }, true);
  addEventListener('DOMContentLoaded', () => {
    const scripts = apply(scriptsOf, document, []);
    for (let i = 0; i < scripts.length; i++) {
      const text = apply(textOf, scripts[i], []);
      if (!apply(hasAttribute, scripts[i], ['src']) && apply(test, endTag, [text])
          && !apply(test, madeByScript, [text]))
        failedToStart('A script of the page did not run as written: "<!--" and "<script" in its text hid its end tag.');
    }
  }, true);

  // A program whose start-up met an error that nothing handled failed while
  // starting: a frame loop it may have begun runs it unprepared, and is not
  // counted. An error the page handled itself (the 3D page's alert) is no
  // failure. By the first frame, every such error has been dealt with.
  let frames = 0, lastFrame = -1;
  const counted = (time) => {
    if (counting === 'failed' || time === lastFrame) return;
    if (counting === 'waiting') {
      counting = early.some((event) => !event.defaultPrevented) ? 'failed' : 'counting';
      early.length = 0;
      if (counting === 'failed') return;
      every(() => { send({ kind: 'frames', count: frames }); frames = 0; }, 1000);
    }
    lastFrame = time;
    frames++;
  };
  window.requestAnimationFrame = function requestAnimationFrame(callback) {
    if (typeof callback !== 'function') return apply(raf, window, [callback]);
    return apply(raf, window, [function (time) { counted(time); return apply(callback, this, [time]); }]);
  };
})();
)js";

PageMessage::Level levelNamed(const QString &name)
{
    if (name == QLatin1String("error"))
        return PageMessage::Level::Error;
    if (name == QLatin1String("warn"))
        return PageMessage::Level::Warning;
    return PageMessage::Level::Log;
}

} // namespace

QString pageProbeScript()
{
    return QString::fromUtf8(ProbeSource).arg(RunLog::TextLimit).arg(LinesPerSecond);
}

ProbeReading readConsoleMessage(PageMessage::Level level, const QString &text, int line,
                                const QString &source)
{
    if (!text.startsWith(ProbeMark))
        return {std::nullopt, PageMessage{level, text, source, line}};
    const QJsonObject report =
        QJsonDocument::fromJson(QStringView(text).mid(ProbeMark.size()).toUtf8()).object();
    const QString kind = report.value(QLatin1String("kind")).toString();
    if (kind == QLatin1String("frames"))
        return {report.value(QLatin1String("count")).toInt(), std::nullopt};
    const QString reported = report.value(QLatin1String("text")).toString();
    const QString stack = report.value(QLatin1String("stack")).toString();
    if (kind == QLatin1String("console"))
        return {std::nullopt,
                PageMessage{levelNamed(report.value(QLatin1String("level")).toString()), reported,
                            {}, 0, stack}};
    if (kind == QLatin1String("uncaught"))
        return {std::nullopt,
                PageMessage{PageMessage::Level::Error, reported,
                            report.value(QLatin1String("source")).toString(),
                            report.value(QLatin1String("line")).toInt(), stack, true}};
    return {};
}

} // namespace quill
