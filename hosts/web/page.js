// The page around the show: the canvas, the start prompt, full screen, message boxes, the ended
// message, the check mode's records, and the sound (Web Audio) behind the audio stand-in.
var Morvanite = (function () {
  const params = new URLSearchParams(location.search);
  const checkMode = params.has('hashes') || params.has('shots');
  const byId = (id) => document.getElementById(id);
  const canvas = byId('screen');
  const context2d = canvas.getContext('2d');
  const frame = context2d.createImageData(320, 240);
  const kTickMs = 1000 / 60;
  document.body.className = checkMode ? 'check' : 'live';
  document.body.dataset.state = 'loading';

  // What the checks and measurements read: frames shown, time spent in the program between
  // frames, the last music position the program was given.
  const stats = { frames: 0, busyMs: 0, lastWake: 0, position: 0 };
  let nextTick = 0;

  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  }
  byId('fullscreen').addEventListener('click', toggleFullscreen);
  addEventListener('keydown', (event) => {
    if ((event.key === 'f' || event.key === 'F') && !event.ctrlKey && !event.altKey && !event.metaKey) {
      toggleFullscreen();
    }
  });

  function showFrame(rgba) {
    frame.data.set(rgba);
    context2d.putImageData(frame, 0, 0);
  }

  // Waits for the next 60 Hz tick, woken by the page's animation frames (or by a timer, since a
  // hidden page has none).
  function waitForTick() {
    const now = performance.now();
    if (stats.lastWake) stats.busyMs += now - stats.lastWake;
    stats.frames++;
    nextTick += kTickMs;
    if (nextTick < now - 4 * kTickMs) nextTick = now;
    return new Promise((resolve) => {
      let done = false;
      const finish = () => {
        if (done) return;
        done = true;
        clearTimeout(timer);
        stats.lastWake = performance.now();
        resolve();
      };
      const timer = setTimeout(finish, 100);
      const onFrame = () => {
        if (done) return;
        if (performance.now() >= nextTick - 2) finish();
        else requestAnimationFrame(onFrame);
      };
      requestAnimationFrame(onFrame);
    });
  }

  function messageBox(text, caption) {
    console.error(caption + '\n' + text);
    const box = byId('box');
    box.querySelector('h2').textContent = caption;
    box.querySelector('p').textContent = text;
    box.hidden = false;
    document.body.dataset.state = 'box';
    return new Promise((resolve) => {
      const button = box.querySelector('button');
      button.focus();
      button.onclick = () => {
        box.hidden = true;
        document.body.dataset.state = 'running';
        resolve();
      };
    });
  }

  function showCanvas(visible) {
    canvas.style.visibility = visible ? 'visible' : 'hidden';
  }

  function rgbaCanvas(rgba, width, height) {
    const picture = document.createElement('canvas');
    picture.width = width;
    picture.height = height;
    const context = picture.getContext('2d');
    const data = context.createImageData(width, height);
    data.data.set(rgba);
    context.putImageData(data, 0, 0);
    return picture;
  }

  function setIcon(rgba, width, height) {
    const link = document.createElement('link');
    link.rel = 'icon';
    link.href = rgbaCanvas(rgba, width, height).toDataURL('image/png');
    document.head.appendChild(link);
  }

  function addPicture(name, rgba, width, height) {
    const figure = document.createElement('figure');
    const image = document.createElement('img');
    image.src = rgbaCanvas(rgba, width, height).toDataURL('image/png');
    image.alt = image.title = image.dataset.name = name;
    const caption = document.createElement('figcaption');
    caption.textContent = name;
    figure.append(image, caption);
    byId('shots').appendChild(figure);
  }

  function checked(hashes, summary) {
    const pre = byId('hashes');
    pre.textContent = hashes;
    pre.hidden = hashes.length === 0;
    byId('summary').textContent = summary;
    byId('summary').hidden = false;
    document.title = 'done';
  }

  function ended(exitCode, problem) {
    const message = byId('message');
    message.querySelector('p').textContent = exitCode === 0
      ? 'The show has ended.' : 'The show could not start.' + (problem ? ' (' + problem + ')' : '');
    message.hidden = false;
    document.body.dataset.state = 'ended';
  }

  // --- Sound: the decoder and the output behind the audio library stand-in. ---
  const toSample = (x) => Math.max(-32768, Math.min(32767, Math.round(x * 32768)));

  // Decodes MPEG audio into `frames` stereo 16-bit samples at `out`; the count, or -1.
  async function decode(bytes, out, frames) {
    let buffer;
    try {
      const Offline = window.OfflineAudioContext || window.webkitOfflineAudioContext;
      buffer = await new Offline(2, 1, 44100).decodeAudioData(bytes.buffer);
    } catch (error) {
      console.warn('morvanite: decodeAudioData: ' + error);
      return -1;
    }
    const left = buffer.getChannelData(0);
    const right = buffer.getChannelData(buffer.numberOfChannels > 1 ? 1 : 0);
    const count = Math.min(frames, buffer.length);
    const pcm = new Int16Array(HEAP16.buffer, out, frames * 2);
    for (let i = 0; i < count; i++) {
      pcm[2 * i] = toSample(left[i]);
      pcm[2 * i + 1] = toSample(right[i]);
    }
    return count;
  }

  let output = null;
  const kBufferFrames = 4096;

  function outputOpen() {
    try {
      const context = new (window.AudioContext || window.webkitAudioContext)({ sampleRate: 44100 });
      const node = context.createScriptProcessor(kBufferFrames, 0, 2);
      output = { context, node, filled: 0, buffers: [], running: false };
      // Silent until the start gesture, even where the browser would play without one.
      if (!started) context.suspend().catch(() => {});
      node.onaudioprocess = fillOutput;
      node.connect(context.destination);
      return 1;
    } catch (error) {
      console.warn('morvanite: no Web Audio (' + error + ')');
      output = null;
      return 0;
    }
  }

  // The node wants its next buffer: the library fills it; it plays at event.playbackTime.
  function fillOutput(event) {
    if (!output) return;
    const buffer = event.outputBuffer;
    const bytes = buffer.length * 4;
    const at = _morvanite_fill_audio(bytes);
    const pcm = new Int16Array(HEAP16.buffer, at, buffer.length * 2);
    const left = buffer.getChannelData(0), right = buffer.getChannelData(1);
    for (let i = 0; i < buffer.length; i++) {
      left[i] = pcm[2 * i] / 32768;
      right[i] = pcm[2 * i + 1] / 32768;
    }
    output.buffers.push({ time: event.playbackTime, start: output.filled, bytes });
    if (output.buffers.length > 16) output.buffers.shift();
    output.filled += bytes;
  }

  function outputClose() {
    if (!output) return;
    output.node.disconnect();
    output.context.close().catch(() => {});
    output = null;
  }

  function outputRun(running) {
    if (!output) return;
    output.running = running;
    if (running && !started) return;
    (running ? output.context.resume() : output.context.suspend()).catch(() => {});
  }

  // Bytes played by the audio clock: whole buffers whose time has passed, and the part of the
  // playing one that the context's time has reached.
  function outputPlayed() {
    const now = output.context.currentTime;
    let played = 0;
    for (const buffer of output.buffers) {
      if (buffer.time > now) break;
      played = buffer.start + Math.min(buffer.bytes, Math.floor((now - buffer.time) * 44100) * 4);
    }
    stats.position = played;
    return played;
  }

  function audioState() {
    return output ? output.context.state : 'closed';
  }

  // Browsers start sound only after a gesture: the prompt waits for a click or a key. The page's
  // clock leaves the wait out.
  let promptMs = 0;
  let started = false;
  function waitForGesture() {
    const prompt = byId('prompt');
    const since = performance.now();
    prompt.hidden = false;
    document.body.dataset.state = 'prompt';
    return new Promise((resolve) => {
      const go = () => {
        removeEventListener('keydown', go, true);
        removeEventListener('pointerdown', go, true);
        prompt.hidden = true;
        document.body.dataset.state = 'running';
        promptMs += performance.now() - since;
        started = true;
        if (output && output.running) output.context.resume().catch(() => {});
        resolve();
      };
      addEventListener('keydown', go, true);
      addEventListener('pointerdown', go, true);
    });
  }
  const pageClockMs = () => performance.now() - promptMs;

  return { checkMode, stats, showFrame, waitForTick, messageBox, showCanvas, setIcon, addPicture,
           checked, ended, decode, outputOpen, outputClose, outputRun, outputPlayed, audioState,
           waitForGesture, pageClockMs };
})();
