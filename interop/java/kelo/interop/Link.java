package kelo.interop;

import java.io.Serializable;

/** A link of a chain; ValuesService.loop makes one that is its own next. */
public class Link implements Serializable {
  private static final long serialVersionUID = 1L;
  public String name;
  public Link next;
}
