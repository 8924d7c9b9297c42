// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The page side of the web layer: the canvas as GLUT's window, WebGL as the
// rasteriser, the browser's keys (or a phone's on-screen keyboard) as GLUT's
// keyboard, the keys and the end of the program as lines of text, and the
// text that the frame draws handed to a screen reader. Linked into the
// module with --js-library.

mergeInto(LibraryManager.library, {
  $webPage: {
    gl: null,
    // Focused by a tap, so that a phone or tablet shows its keyboard.
    field: null,
    // The lines under the canvas, and the frame's text, out of sight.
    notes: null,
    text: null,
    redisplayPending: false,
    ended: false,
    lost: false,
    depthTest: false,
    pointer: [0, 0],
    // What of the field's current composition has already reached the program.
    composed: '',
    // The keys that produce a character, as X and GLUT deliver them; keys
    // without one (arrows, function keys, Shift) reach nothing.
    characterCode: function(event) {
      var named = {Escape: 27, Enter: 13, Backspace: 8, Tab: 9, Delete: 127};
      if (event.isComposing) return -1;
      if (named.hasOwnProperty(event.key)) return named[event.key];
      if (event.key.length !== 1) return -1;
      var code = event.key.charCodeAt(0);
      if (event.ctrlKey && /^[@-_a-z]$/i.test(event.key)) code &= 0x1f;
      return code < 256 ? code : -1;
    },
    key: function(code) {
      webPage.run(function() { _webKey(code, webPage.pointer[0], webPage.pointer[1]); });
    },
    keydown: function(event) {
      var code = webPage.characterCode(event);
      if (code < 0 || webPage.ended) return;
      event.preventDefault();
      webPage.key(code);
    },
    // Text from an on-screen keyboard: each new character a key press, in
    // the order typed; the field is emptied once no composition holds it.
    input: function(event) {
      var field = webPage.field;
      var text = field.value;
      var typed = text.startsWith(webPage.composed) ? text.slice(webPage.composed.length) : '';
      if (event.inputType === 'deleteContentBackward' && !event.isComposing) typed = '\b';
      if (event.isComposing) {
        webPage.composed = text;
      } else {
        webPage.composed = '';
        field.value = '';
      }
      for (var i = 0; i < typed.length && !webPage.ended; i++) {
        var code = typed.charCodeAt(i);
        if (code === 10) code = 13;
        if (code < 256) webPage.key(code);
      }
    },
    // A line of text under the canvas, one below the other; the same id
    // replaces its line. Its role makes a screen reader say it.
    note: function(id, text, role) {
      var note = document.getElementById(id);
      if (text === null) {
        if (note) note.remove();
        return;
      }
      if (!note) {
        note = document.createElement('p');
        note.id = id;
        note.setAttribute('role', role);
        webPage.notes.appendChild(note);
      }
      note.textContent = text;
    },
    end: function(status) {
      webPage.ended = true;
      webPage.note('lost', null);
      // In place of the line that told the keys.
      webPage.note('status', 'The viewer ended with status ' + status + '.');
    },
    postRedisplay: function() {
      if (webPage.redisplayPending || webPage.ended) return;
      webPage.redisplayPending = true;
      // Right after the event that asked, once however often it asked; a
      // hidden page draws when it is shown again, as GLUT's hidden window does.
      if (document.hidden) document.addEventListener('visibilitychange', webPage.shown);
      else queueMicrotask(webPage.display);
    },
    shown: function() {
      if (document.hidden) return;
      document.removeEventListener('visibilitychange', webPage.shown);
      webPage.display();
    },
    display: function() {
      webPage.redisplayPending = false;
      webPage.run(_webDisplay);
    },
    // Calls into the program; Esc's exit arrives here as an exception.
    run: function(call) {
      if (webPage.ended) return;
      try {
        call();
      } catch (e) {
        if (e instanceof ExitStatus) webPage.end(e.status);
        else throw e;
      }
    },
    // Everything WebGL holds for the page: made at the start and again when
    // a lost context comes back.
    setUp: function(gl) {
      var program = function(fragment) {
        var program = gl.createProgram();
        [[gl.VERTEX_SHADER, 'attribute vec4 position; attribute vec4 color; varying vec4 shade;' +
          'void main() { gl_Position = position; shade = color; }'],
         [gl.FRAGMENT_SHADER, 'precision mediump float; varying vec4 shade;' + fragment]].forEach(function(s) {
          var shader = gl.createShader(s[0]);
          gl.shaderSource(shader, s[1]);
          gl.compileShader(shader);
          gl.attachShader(program, shader);
        });
        gl.bindAttribLocation(program, 0, 'position');
        gl.bindAttribLocation(program, 1, 'color');
        gl.linkProgram(program);
        return program;
      };
      webPage.program = program('void main() { gl_FragColor = shade; }');
      // The frame's texel at each pixel, its colour as it is.
      webPage.enlarge = program('uniform sampler2D frame; void main() { gl_FragColor = texture2D(frame, shade.xy); }');
      gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
      gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, gl.createBuffer());
      gl.enableVertexAttribArray(0);
      gl.enableVertexAttribArray(1);
      gl.vertexAttribPointer(0, 4, gl.FLOAT, false, 32, 0);
      gl.vertexAttribPointer(1, 4, gl.FLOAT, false, 32, 16);
      gl.depthFunc(gl.LESS);
      if (webPage.depthTest) gl.enable(gl.DEPTH_TEST);
      // The frame is drawn into a texture of the window's size, with a depth
      // buffer of the 24 bits a canvas's own has (DEPTH_STENCIL's).
      var width = webPage.width, height = webPage.height, texture = gl.createTexture(), depth = gl.createRenderbuffer();
      gl.bindTexture(gl.TEXTURE_2D, texture);
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
      // MAG_FILTER, MIN_FILTER, WRAP_S, WRAP_T: unsmoothed, and complete at
      // any size.
      for (var p = gl.TEXTURE_MAG_FILTER; p <= gl.TEXTURE_WRAP_T; p++) {
        gl.texParameteri(gl.TEXTURE_2D, p, p < gl.TEXTURE_WRAP_S ? gl.NEAREST : gl.CLAMP_TO_EDGE);
      }
      gl.bindRenderbuffer(gl.RENDERBUFFER, depth);
      gl.renderbufferStorage(gl.RENDERBUFFER, gl.DEPTH_STENCIL, width, height);
      gl.bindFramebuffer(gl.FRAMEBUFFER, webPage.framebuffer = gl.createFramebuffer());
      gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
      gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.DEPTH_STENCIL_ATTACHMENT, gl.RENDERBUFFER, depth);
      // The canvas's corners and the frame's texture coordinates there, as
      // position and colour: the quad that enlarges a frame onto the canvas.
      webPage.corners = new Float32Array([-1, -1, 0, 1, 0, 0, 0, 0, 1, -1, 0, 1, 1, 0, 0, 0,
                                          1, 1, 0, 1, 1, 1, 0, 0, -1, 1, 0, 1, 0, 1, 0, 0]);
      webPage.toFrame(gl);
    },
    // The frame's own state: its texture, its size, its program.
    toFrame: function(gl) {
      gl.bindFramebuffer(gl.FRAMEBUFFER, webPage.framebuffer);
      gl.viewport(0, 0, webPage.width, webPage.height);
      gl.useProgram(webPage.program);
    },
    contextLost: function(event) {
      // Asks the browser to give the context back.
      event.preventDefault();
      webPage.lost = true;
      if (!webPage.ended) webPage.note('lost', 'The graphics context was lost; reload the page to draw again.', 'alert');
    },
    contextRestored: function() {
      webPage.lost = false;
      webPage.setUp(webPage.gl);
      webPage.note('lost', null);
      webPage.postRedisplay();
    },
  },

  webPageCreateWindow__deps: ['$webPage'],
  webPageCreateWindow: function(title, x, y, width, height) {
    document.title = UTF8ToString(title);
    var canvas = document.createElement('canvas');
    canvas.tabIndex = 0;
    // Named and described for a screen reader, which passes it the keys.
    canvas.setAttribute('role', 'application');
    canvas.setAttribute('aria-label', 'Surface viewer');
    canvas.setAttribute('aria-describedby', 'status');
    // Its height follows its width; sharp also where its size in device
    // pixels is not a whole number.
    canvas.style.cssText = 'position:absolute;image-rendering:pixelated;' +
      'left:' + x + 'px;top:' + y + 'px;width:' + width + 'px';
    var main = document.querySelector('main');
    main.appendChild(canvas);
    var gl = canvas.getContext('webgl', {alpha: false, antialias: false, depth: false});
    if (!gl) {
      var note = document.createElement('p');
      note.textContent = 'This page needs WebGL, which this browser does not offer.';
      note.style.cssText = canvas.style.cssText;
      canvas.replaceWith(note);
      webPage.ended = true;
      return;
    }
    webPage.gl = gl;
    webPage.width = width;
    webPage.height = height;
    webPage.setUp(gl);
    // The canvas has a pixel for each device pixel, and each frame is
    // enlarged onto it unsmoothed: each pixel of the frame a sharp square in
    // every engine (WebKit smooths an enlarged WebGL canvas, whatever
    // image-rendering asks). A new ratio (a zoom, another screen) asks for a
    // frame, as a window exposed again does; after Esc the last one stays.
    (function fit() {
      var ratio = devicePixelRatio;
      if (webPage.ended) return;
      // Rounded: a canvas's size drops the fraction.
      canvas.width = width * ratio + .5;
      canvas.height = height * ratio + .5;
      matchMedia('(resolution:' + ratio + 'dppx)').addEventListener('change', fit, {once: true});
      webPage.postRedisplay();
    })();
    canvas.addEventListener('webglcontextlost', webPage.contextLost);
    canvas.addEventListener('webglcontextrestored', webPage.contextRestored);
    canvas.addEventListener('keydown', webPage.keydown);
    canvas.addEventListener('mousemove', function(event) {
      webPage.pointer = [event.offsetX, event.offsetY];
    });
    canvas.addEventListener('mousedown', function() { canvas.focus(); });

    // The page's own lines under the window, the first telling the keys.
    webPage.notes = document.createElement('div');
    webPage.notes.style.cssText = 'position:absolute;left:' + x + 'px;top:' + (y + height + 8) + 'px';
    main.appendChild(webPage.notes);
    webPage.note('status', 'Any key shows the next surface (tap first); Esc frees the keys.', 'status');
    // Out of sight: the text that the frame shows, for a screen reader.
    webPage.text = document.createElement('div');
    webPage.text.id = 'text';
    webPage.text.setAttribute('role', 'status');
    main.appendChild(webPage.text);

    // Under the canvas's corner, invisible, 16 px so that no phone zooms to it.
    var field = document.createElement('input');
    field.type = 'text';
    field.setAttribute('aria-label', 'Keys for the viewer');
    // Reached by a tap, not by Tab.
    field.tabIndex = -1;
    ['autocomplete', 'autocorrect', 'autocapitalize'].forEach(function(a) { field.setAttribute(a, 'off'); });
    field.spellcheck = false;
    field.style.cssText = 'position:absolute;left:' + x + 'px;top:' + y + 'px;width:1px;height:1px;' +
      'padding:0;border:0;margin:0;opacity:0;font-size:16px;pointer-events:none;z-index:-1';
    main.appendChild(field);
    webPage.field = field;
    field.addEventListener('keydown', webPage.keydown);
    field.addEventListener('input', webPage.input);
    field.addEventListener('compositionend', function() {
      webPage.composed = '';
      field.value = '';
    });
    canvas.addEventListener('touchend', function(event) {
      // No mouse events follow, so the canvas does not take the focus back.
      event.preventDefault();
      field.focus({preventScroll: true});
    });
    canvas.focus();
  },

  webPagePostRedisplay__deps: ['$webPage'],
  webPagePostRedisplay: function() {
    webPage.postRedisplay();
  },

  // The frame's end: the frame enlarged onto the canvas, one quad in the
  // task that drew it, and the characters its bitmaps drew said when they
  // change; nothing if it could not be drawn.
  webPageSwap__deps: ['$webPage'],
  webPageSwap: function(text, length) {
    var shown = String.fromCharCode.apply(null, HEAPU8.subarray(text, text + length));
    var gl = webPage.gl;
    if (webPage.lost) return;
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
    gl.useProgram(webPage.enlarge);
    gl.bufferData(gl.ARRAY_BUFFER, webPage.corners, gl.STREAM_DRAW);
    gl.drawArrays(gl.TRIANGLE_FAN, 0, 4);
    webPage.toFrame(gl);
    if (webPage.text.textContent !== shown) webPage.text.textContent = shown;
  },

  webPageDraw__deps: ['$webPage'],
  webPageDraw: function(vertices, vertexCount, indices, indexCount) {
    var gl = webPage.gl;
    if (!gl || webPage.lost) return;
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + vertexCount * 8),
                  gl.STREAM_DRAW);
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, HEAPU16.subarray(indices >> 1, (indices >> 1) + indexCount),
                  gl.STREAM_DRAW);
    gl.drawElements(gl.TRIANGLES, indexCount, gl.UNSIGNED_SHORT, 0);
  },

  webPageClear__deps: ['$webPage'],
  webPageClear: function(r, g, b, a, colorBuffer, depthBuffer) {
    var gl = webPage.gl;
    if (!gl || webPage.lost) return;
    gl.clearColor(r, g, b, a);
    gl.clearDepth(1);
    gl.clear((colorBuffer ? gl.COLOR_BUFFER_BIT : 0) | (depthBuffer ? gl.DEPTH_BUFFER_BIT : 0));
  },

  webPageDepthTest__deps: ['$webPage'],
  webPageDepthTest: function(enabled) {
    var gl = webPage.gl;
    webPage.depthTest = !!enabled;
    if (!gl || webPage.lost) return;
    if (enabled) gl.enable(gl.DEPTH_TEST);
    else gl.disable(gl.DEPTH_TEST);
  },

  // The browser's event loop is the main loop: leave main without ending the
  // program, so that the exit after Esc still runs the exit handlers.
  webPageMainLoop: function() {
    throw 'unwind';
  },
});
