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

  // --- Sound. One output (an AudioContext at 44100 Hz, or none), decoded streams by handle. ---
  let audio = null;

  function audioOpen() {
    audio = { context: null, gain: null, buffers: new Map(), source: null, startTime: 0,
              onAudioClock: false, clockRunning: false, clockSince: 0, clockPlayed: 0 };
    try {
      audio.context = new (window.AudioContext || window.webkitAudioContext)({ sampleRate: 44100 });
      audio.gain = audio.context.createGain();
      audio.gain.connect(audio.context.destination);
    } catch (error) {
      console.warn('morvanite: no sound in this browser (' + error + '); the show plays silently');
      audio.context = null;
    }
  }

  function audioClose() {
    if (audio && audio.context) audio.context.close().catch(() => {});
    audio = null;
  }

  // The page's clock, for the show without sound: playing time, standing still while stopped.
  function pageClockSeconds() {
    let played = audio.clockPlayed;
    if (audio.clockRunning) played += performance.now() - audio.clockSince;
    return played / 1000;
  }

  function audioRun(running) {
    if (!audio) return;
    if (running && !audio.clockRunning) audio.clockSince = performance.now();
    if (!running && audio.clockRunning) audio.clockPlayed += performance.now() - audio.clockSince;
    audio.clockRunning = running;
    if (!audio.context) return;
    (running ? audio.context.resume() : audio.context.suspend()).catch(() => {});
  }

  function audioVolume(volume) {
    if (audio && audio.gain) audio.gain.gain.value = volume / 100;
  }

  async function audioDecode(stream, bytes) {
    if (!audio.context) return 0;
    try {
      audio.buffers.set(stream, await audio.context.decodeAudioData(bytes.buffer));
      return 1;
    } catch (error) {
      console.warn('morvanite: the browser can not decode the music (' + error + '); the show plays silently');
      return 0;
    }
  }

  function audioForget(stream) {
    if (audio) audio.buffers.delete(stream);
  }

  // Browsers start sound only after a gesture: the prompt waits for a click or a key.
  function waitForGesture() {
    const prompt = byId('prompt');
    prompt.hidden = false;
    document.body.dataset.state = 'prompt';
    return new Promise((resolve) => {
      const go = () => {
        removeEventListener('keydown', go, true);
        removeEventListener('pointerdown', go, true);
        prompt.hidden = true;
        if (audio && audio.context) audio.context.resume().catch(() => {});
        resolve();
      };
      addEventListener('keydown', go, true);
      addEventListener('pointerdown', go, true);
    });
  }

  async function audioPlay(stream) {
    await waitForGesture();
    document.body.dataset.state = 'running';
    const context = audio.context;
    if (context && context.state !== 'running') {
      await Promise.race([context.resume(), new Promise((r) => setTimeout(r, 1000))]).catch(() => {});
    }
    if (audio.source) audio.source.stop();
    audio.source = null;
    const buffer = audio.buffers.get(stream);
    audio.onAudioClock = !!(context && context.state === 'running' && buffer);
    if (audio.onAudioClock) {
      audio.source = context.createBufferSource();
      audio.source.buffer = buffer;
      audio.source.connect(audio.gain);
      audio.startTime = context.currentTime;
      audio.source.start(audio.startTime);
    } else {
      if (context) console.warn('morvanite: the browser does not play sound; the show plays silently');
      audio.clockPlayed = 0;
      audio.clockSince = performance.now();
    }
  }

  // Bytes of 44.1 kHz 16-bit stereo played since the stream started, in whole samples.
  function audioPosition() {
    const seconds = audio.onAudioClock ? audio.context.currentTime - audio.startTime : pageClockSeconds();
    stats.position = Math.max(0, Math.floor(seconds * 44100)) * 4;
    return stats.position;
  }

  function audioState() {
    if (!audio) return 'closed';
    if (!audio.onAudioClock) return 'page clock';
    return audio.context.state;
  }

  return { checkMode, stats, showFrame, waitForTick, messageBox, showCanvas, setIcon, addPicture,
           checked, ended, audioOpen, audioClose, audioRun, audioVolume, audioDecode, audioForget,
           audioPlay, audioPosition, audioState };
})();
